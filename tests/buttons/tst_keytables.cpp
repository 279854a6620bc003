#include "buttons/keytables.h"

#include <QtTest>

class KeyTablesTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldMapVirtualKeysToUsages_data()
    {
        QTest::addColumn<int>("vk");
        QTest::addColumn<int>("usage");
        const struct { const char *name; int vk; int usage; } rows[] = {
            { "backspace", 0x08, 0x2A }, { "tab", 0x09, 0x2B }, { "enter", 0x0D, 0x28 }, { "pause", 0x13, 0x48 },
            { "caps lock", 0x14, 0x39 }, { "escape", 0x1B, 0x29 }, { "space", 0x20, 0x2C },
            { "page up", 0x21, 0x4B }, { "page down", 0x22, 0x4E }, { "end", 0x23, 0x4D }, { "home", 0x24, 0x4A },
            { "left", 0x25, 0x50 }, { "up", 0x26, 0x52 }, { "right", 0x27, 0x4F }, { "down", 0x28, 0x51 },
            { "print screen", 0x2C, 0x46 }, { "insert", 0x2D, 0x49 }, { "delete", 0x2E, 0x4C },
            { "0", 0x30, 0x27 }, { "1", 0x31, 0x1E }, { "5", 0x35, 0x22 }, { "9", 0x39, 0x26 },
            { "A", 0x41, 0x04 }, { "M", 0x4D, 0x10 }, { "Z", 0x5A, 0x1D },
            { "left win", 0x5B, 0xE3 }, { "right win", 0x5C, 0xE7 }, { "apps", 0x5D, 0x65 },
            { "numpad 0", 0x60, 0x62 }, { "numpad 1", 0x61, 0x59 }, { "numpad 9", 0x69, 0x61 },
            { "numpad *", 0x6A, 0x55 }, { "numpad +", 0x6B, 0x57 }, { "numpad -", 0x6D, 0x56 },
            { "numpad .", 0x6E, 0x63 }, { "numpad /", 0x6F, 0x54 },
            { "F1", 0x70, 0x3A }, { "F12", 0x7B, 0x45 }, { "F13", 0x7C, 0x68 }, { "F24", 0x87, 0x73 },
            { "num lock", 0x90, 0x53 }, { "scroll lock", 0x91, 0x47 },
            { "left shift", 0xA0, 0xE1 }, { "right shift", 0xA1, 0xE5 }, { "left ctrl", 0xA2, 0xE0 },
            { "right ctrl", 0xA3, 0xE4 }, { "left alt", 0xA4, 0xE2 }, { "right alt", 0xA5, 0xE6 },
            { ";", 0xBA, 0x33 }, { "=", 0xBB, 0x2E }, { ",", 0xBC, 0x36 }, { "-", 0xBD, 0x2D },
            { ".", 0xBE, 0x37 }, { "/", 0xBF, 0x38 }, { "`", 0xC0, 0x35 }, { "[", 0xDB, 0x2F },
            { "backslash", 0xDC, 0x31 }, { "]", 0xDD, 0x30 }, { "'", 0xDE, 0x34 },
            { "ISO extra key", 0xE2, 0x64 },
            { "none passes through", 0x00, 0x00 }, { "volume mute passes through", 0xAD, 0xAD },
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << row.vk << row.usage;
    }
    void shouldMapVirtualKeysToUsages()
    {
        QFETCH(int, vk);
        QFETCH(int, usage);
        QCOMPARE(int(vk_to_usage(quint8(vk))), usage);
    }

    void shouldMapUsagesBackToTheirKeys()
    {
        for (int vk = 0; vk < 256; ++vk) {
            const quint8 usage = vk_to_usage(quint8(vk));
            if (usage != vk)
                QCOMPARE(int(usage_to_vk(usage)), vk);
        }
    }

    void shouldReadNonUsHashAsBackslash()
    {
        QCOMPARE(int(usage_to_vk(0x32)), 0xDC);
        QCOMPARE(int(usage_to_vk(0xE8)), 0xE8);
    }

    void shouldNameKeys_data()
    {
        QTest::addColumn<int>("vk");
        QTest::addColumn<QString>("name");
        const struct { int vk; const char *name; } rows[] = {
            { 0x00, "" }, { 0x6C, "" }, { 0xFF, "" },
            { 0x08, "BACKSPACE" }, { 0x09, "TAB" }, { 0x0D, "Enter" }, { 0x13, "Pause" }, { 0x14, "CAPSLOCK" },
            { 0x1B, "ESC" }, { 0x20, "SPACE" }, { 0x21, "PageUp" }, { 0x22, "PageDown" }, { 0x23, "END" },
            { 0x24, "HOME" }, { 0x25, "LEFT" }, { 0x26, "UP" }, { 0x27, "RIGHT" }, { 0x28, "DOWN" },
            { 0x2C, "PrtSc" }, { 0x2D, "INSERT" }, { 0x2E, "DELETE" }, { 0x5B, "WIN" }, { 0x5C, "RIGHT WIN" },
            { 0x5D, "APPS" }, { 0x6A, "*" }, { 0x6B, "+" }, { 0x6D, "-" }, { 0xBD, "-" }, { 0x6E, "." },
            { 0x6F, "/" }, { 0xBF, "/" }, { 0x90, "NUMLOCK" }, { 0x91, "ScrollLock" }, { 0xA0, "SHIFT" },
            { 0xA1, "RIGHT SHIFT" }, { 0xA2, "CTRL" }, { 0xA3, "RIGHT CTRL" }, { 0xA4, "ALT" },
            { 0xA5, "RIGHT ALT" }, { 0xBA, ";" }, { 0xBB, "=" }, { 0xBC, "<" }, { 0xBE, ">" }, { 0xC0, "`" },
            { 0xDB, "[" }, { 0xDC, "\\" }, { 0xDD, "]" }, { 0xDE, "'" }, { 0xE2, "<>" },
            { 0x60, "NUMPAD0" }, { 0x65, "NUMPAD5" }, { 0x69, "NUMPAD9" },
            { 0x70, "F1" }, { 0x7B, "F12" }, { 0x7C, "F13" }, { 0x87, "F24" },
            { 0x41, "A" }, { 0x5A, "Z" }, { 0x30, "0" }, { 0x39, "9" },
        };
        for (const auto &row : rows)
            QTest::newRow(qPrintable(QStringLiteral("0x%1").arg(row.vk, 2, 16, QLatin1Char('0'))))
                << row.vk << QString::fromLatin1(row.name);
    }
    void shouldNameKeys()
    {
        QFETCH(int, vk);
        QFETCH(QString, name);
        QCOMPARE(key_name(quint8(vk)), name);
    }

    void shouldKnowModifierBits_data()
    {
        QTest::addColumn<int>("vk");
        QTest::addColumn<int>("bit");
        QTest::newRow("left ctrl") << 0xA2 << 0x01;
        QTest::newRow("left shift") << 0xA0 << 0x02;
        QTest::newRow("left alt") << 0xA4 << 0x04;
        QTest::newRow("left win") << 0x5B << 0x08;
        QTest::newRow("right ctrl") << 0xA3 << 0x10;
        QTest::newRow("right shift") << 0xA1 << 0x20;
        QTest::newRow("right alt") << 0xA5 << 0x40;
        QTest::newRow("right win") << 0x5C << 0x80;
        QTest::newRow("A is no modifier") << 0x41 << 0x00;
        QTest::newRow("side-less ctrl is no modifier") << 0x11 << 0x00;
    }
    void shouldKnowModifierBits()
    {
        QFETCH(int, vk);
        QFETCH(int, bit);
        QCOMPARE(int(modifierBit(quint8(vk))), bit);
    }
};

QTEST_GUILESS_MAIN(KeyTablesTest)
#include "tst_keytables.moc"
