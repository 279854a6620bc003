#include "buttons/keytables.h"

namespace {

// One row maps the keys firstVk..lastVk, in order, to the usage ids starting at firstUsage.
struct KeyRange
{
    quint8 firstVk;
    quint8 lastVk;
    quint8 firstUsage;
};

constexpr KeyRange usageRows[] = {
    { 0x08, 0x09, 0x2A },   // backspace, tab
    { 0x0D, 0x0D, 0x28 },   // enter
    { 0x13, 0x13, 0x48 },   // pause
    { 0x14, 0x14, 0x39 },   // caps lock
    { 0x1B, 0x1B, 0x29 },   // escape
    { 0x20, 0x20, 0x2C },   // space
    { 0x21, 0x21, 0x4B },   // page up
    { 0x22, 0x22, 0x4E },   // page down
    { 0x23, 0x23, 0x4D },   // end
    { 0x24, 0x24, 0x4A },   // home
    { 0x25, 0x25, 0x50 },   // left
    { 0x26, 0x26, 0x52 },   // up
    { 0x27, 0x27, 0x4F },   // right
    { 0x28, 0x28, 0x51 },   // down
    { 0x2C, 0x2C, 0x46 },   // print screen
    { 0x2D, 0x2D, 0x49 },   // insert
    { 0x2E, 0x2E, 0x4C },   // delete
    { 0x30, 0x30, 0x27 },   // 0
    { 0x31, 0x39, 0x1E },   // 1 to 9
    { 0x41, 0x5A, 0x04 },   // A to Z
    { 0x5B, 0x5B, 0xE3 },   // left win
    { 0x5C, 0x5C, 0xE7 },   // right win
    { 0x5D, 0x5D, 0x65 },   // menu
    { 0x60, 0x60, 0x62 },   // keypad 0
    { 0x61, 0x69, 0x59 },   // keypad 1 to 9
    { 0x6A, 0x6A, 0x55 },   // keypad *
    { 0x6B, 0x6B, 0x57 },   // keypad +
    { 0x6D, 0x6D, 0x56 },   // keypad -
    { 0x6E, 0x6E, 0x63 },   // keypad .
    { 0x6F, 0x6F, 0x54 },   // keypad /
    { 0x70, 0x7B, 0x3A },   // F1 to F12
    // F13 to F24 have their own usage ids; passed through unchanged they would become Copy, Paste, Mute, ...
    { 0x7C, 0x87, 0x68 },
    { 0x90, 0x90, 0x53 },   // num lock
    { 0x91, 0x91, 0x47 },   // scroll lock
    { 0xA0, 0xA0, 0xE1 },   // left shift
    { 0xA1, 0xA1, 0xE5 },   // right shift
    { 0xA2, 0xA2, 0xE0 },   // left ctrl
    { 0xA3, 0xA3, 0xE4 },   // right ctrl
    { 0xA4, 0xA4, 0xE2 },   // left alt
    { 0xA5, 0xA5, 0xE6 },   // right alt
    { 0xBA, 0xBA, 0x33 },   // ;
    { 0xBB, 0xBB, 0x2E },   // =
    { 0xBC, 0xBC, 0x36 },   // ,
    { 0xBD, 0xBD, 0x2D },   // -
    { 0xBE, 0xBF, 0x37 },   // . /
    { 0xC0, 0xC0, 0x35 },   // `
    { 0xDB, 0xDB, 0x2F },   // [
    { 0xDC, 0xDC, 0x31 },   // backslash
    { 0xDD, 0xDD, 0x30 },   // ]
    { 0xDE, 0xDE, 0x34 },   // '
    // The extra key of ISO keyboards; passed through unchanged it would be the left Alt key.
    { 0xE2, 0xE2, 0x64 },
};

// The non-US # key reads back as the backslash key.
constexpr quint8 NonUsHashUsage = 0x32;
constexpr quint8 BackslashVk = 0xDC;

struct KeyName
{
    quint8 vk;
    const char *name;
};

constexpr KeyName nameRows[] = {
    { 0x00, "" }, { 0x6C, "" }, { 0xFF, "" },
    { 0x08, "BACKSPACE" }, { 0x09, "TAB" }, { 0x0D, "Enter" }, { 0x13, "Pause" }, { 0x14, "CAPSLOCK" },
    { 0x1B, "ESC" }, { 0x20, "SPACE" }, { 0x21, "PageUp" }, { 0x22, "PageDown" }, { 0x23, "END" },
    { 0x24, "HOME" }, { 0x25, "LEFT" }, { 0x26, "UP" }, { 0x27, "RIGHT" }, { 0x28, "DOWN" },
    { 0x2C, "PrtSc" }, { 0x2D, "INSERT" }, { 0x2E, "DELETE" },
    { 0x5B, "WIN" }, { 0x5C, "RIGHT WIN" }, { 0x5D, "APPS" },
    { 0x6A, "*" }, { 0x6B, "+" }, { 0x6D, "-" }, { 0x6E, "." }, { 0x6F, "/" },
    { 0x90, "NUMLOCK" }, { 0x91, "ScrollLock" },
    { 0xA0, "SHIFT" }, { 0xA1, "RIGHT SHIFT" }, { 0xA2, "CTRL" }, { 0xA3, "RIGHT CTRL" }, { 0xA4, "ALT" },
    { 0xA5, "RIGHT ALT" },
    { 0xBA, ";" }, { 0xBB, "=" }, { 0xBC, "<" }, { 0xBD, "-" }, { 0xBE, ">" }, { 0xBF, "/" }, { 0xC0, "`" },
    { 0xDB, "[" }, { 0xDC, "\\" }, { 0xDD, "]" }, { 0xDE, "'" }, { 0xE2, "<>" },
};

struct UsageTables
{
    std::array<quint8, 256> usageOfVk;
    std::array<quint8, 256> vkOfUsage;
};

UsageTables buildUsageTables()
{
    UsageTables tables;
    for (int code = 0; code < 256; ++code) {
        tables.usageOfVk[code] = quint8(code);
        tables.vkOfUsage[code] = quint8(code);
    }
    for (const KeyRange &row : usageRows) {
        for (int vk = row.firstVk; vk <= row.lastVk; ++vk) {
            const quint8 usage = quint8(row.firstUsage + (vk - row.firstVk));
            tables.usageOfVk[vk] = usage;
            tables.vkOfUsage[usage] = quint8(vk);
        }
    }
    tables.vkOfUsage[NonUsHashUsage] = BackslashVk;
    return tables;
}

const UsageTables &usageTables()
{
    static const UsageTables tables = buildUsageTables();
    return tables;
}

} // namespace

quint8 vk_to_usage(quint8 vk)
{
    return usageTables().usageOfVk[vk];
}

quint8 usage_to_vk(quint8 usage)
{
    return usageTables().vkOfUsage[usage];
}

bool isKnownUsage(quint8 usage)
{
    if (usage == NonUsHashUsage)
        return true;
    for (const KeyRange &row : usageRows) {
        if (usage >= row.firstUsage && usage <= row.firstUsage + (row.lastVk - row.firstVk))
            return true;
    }
    return false;
}

bool hasUsage(quint8 vk)
{
    for (const KeyRange &row : usageRows) {
        if (vk >= row.firstVk && vk <= row.lastVk)
            return true;
    }
    return false;
}

QString key_name(quint8 vk)
{
    for (const KeyName &row : nameRows) {
        if (row.vk == vk)
            return QString::fromLatin1(row.name);
    }
    if (vk >= 0x60 && vk <= 0x69)
        return QStringLiteral("NUMPAD") + QString::number(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87)
        return QStringLiteral("F") + QString::number(vk - 0x6F);
    return QString(QChar::fromLatin1(char(vk)));
}

QString usageName(quint8 usage)
{
    return isKnownUsage(usage) ? key_name(usage_to_vk(usage)) : QString::number(usage);
}
