// Inputs and expected results shared by the Windows layer's test program (cross-built, run under Wine) and the
// Linux test of the portable code: both must give these results for these inputs. Standard C++ only.
//
// The hook messages are what a WH_KEYBOARD_LL hook receives for the keys injected with SendInput, as measured
// under Wine 8; the code-page bytes are GBK as iconv gives them.
#ifndef PLATFORMCASES_H
#define PLATFORMCASES_H

#include <cstdint>
#include <string>
#include <vector>

namespace PlatformCases {

// A key by its Windows virtual-key code and by its X key code (0: none), with whether Windows counts it an
// extended key.
struct PhysicalKey
{
    std::uint8_t vk;
    std::uint8_t xKeycode;
    bool extended;
};

constexpr PhysicalKey LeftCtrl { 0xA2, 37, false };
constexpr PhysicalKey RightCtrl { 0xA3, 105, true };
constexpr PhysicalKey LeftShift { 0xA0, 50, false };
constexpr PhysicalKey RightShift { 0xA1, 62, false };
constexpr PhysicalKey LeftAlt { 0xA4, 64, false };
constexpr PhysicalKey RightAlt { 0xA5, 108, true };
constexpr PhysicalKey LeftWin { 0x5B, 133, true };
constexpr PhysicalKey RightWin { 0x5C, 134, true };
constexpr PhysicalKey KeyA { 0x41, 38, false };
constexpr PhysicalKey KeyB { 0x42, 56, false };
constexpr PhysicalKey KeyC { 0x43, 54, false };
constexpr PhysicalKey KeyD { 0x44, 40, false };
constexpr PhysicalKey Tab { 0x09, 23, false };
constexpr PhysicalKey Delete { 0x2E, 119, true };
constexpr PhysicalKey F10 { 0x79, 76, false };
constexpr PhysicalKey NoKey { 0xFF, 0, false };

struct KeyStroke
{
    PhysicalKey key;
    bool up;
};

inline KeyStroke down(PhysicalKey key) { return { key, false }; }
inline KeyStroke up(PhysicalKey key) { return { key, true }; }

constexpr unsigned KeyDown = 0x0100;
constexpr unsigned KeyUp = 0x0101;
constexpr unsigned SysKeyDown = 0x0104;
constexpr unsigned SysKeyUp = 0x0105;

struct HookMessage
{
    unsigned message;
    std::uint8_t vk;
    bool operator==(const HookMessage &other) const { return message == other.message && vk == other.vk; }
};

struct RecordedKey
{
    std::uint8_t vk;
    bool up;
    bool operator==(const RecordedKey &other) const { return vk == other.vk && up == other.up; }
};

struct KeyCase
{
    const char *name;
    std::vector<KeyStroke> strokes;      // injected in this order, one message each
    std::vector<HookMessage> messages;   // what the hook receives for them
    // The key-combination editor after the strokes: its modifier byte, its further key and how often the text
    // had to be shown again.
    std::uint8_t modifiers;
    std::uint8_t vkeyCode;
    int editorUpdates;
    // The macro recorder's events for the same strokes.
    std::vector<RecordedKey> recorded;
};

inline const std::vector<KeyCase> &keyCases()
{
    static const std::vector<KeyCase> cases = {
        { "left and right modifiers",
          { down(LeftCtrl), down(KeyA), up(KeyA), up(LeftCtrl), down(RightShift), up(RightShift), down(RightCtrl),
            down(Delete), up(Delete), up(RightCtrl), down(LeftShift), up(LeftShift), down(RightWin), up(RightWin) },
          { { KeyDown, 0xA2 }, { KeyDown, 0x41 }, { KeyUp, 0x41 }, { KeyUp, 0xA2 }, { KeyDown, 0xA1 },
            { KeyUp, 0xA1 }, { KeyDown, 0xA3 }, { KeyDown, 0x2E }, { KeyUp, 0x2E }, { KeyUp, 0xA3 },
            { KeyDown, 0xA0 }, { KeyUp, 0xA0 }, { KeyDown, 0x5C }, { KeyUp, 0x5C } },
          0x01 | 0x20 | 0x10 | 0x02 | 0x80, 0x2E, 7,
          { { 0xA2, false }, { 0x41, false }, { 0x41, true }, { 0xA2, true }, { 0xA1, false }, { 0xA1, true },
            { 0xA3, false }, { 0x2E, false }, { 0x2E, true }, { 0xA3, true }, { 0xA0, false }, { 0xA0, true },
            { 0x5C, false }, { 0x5C, true } } },
        { "Win+D",
          { down(LeftWin), down(KeyD), up(KeyD), up(LeftWin) },
          { { KeyDown, 0x5B }, { KeyDown, 0x44 }, { KeyUp, 0x44 }, { KeyUp, 0x5B } },
          0x08, 0x44, 2,
          { { 0x5B, false }, { 0x44, false }, { 0x44, true }, { 0x5B, true } } },
        // The swallowed Alt never sets the system's key state, so Tab after it is a plain key.
        { "Alt as a system key",
          { down(LeftAlt), down(Tab), up(Tab), up(LeftAlt), down(RightAlt), up(RightAlt), down(F10), up(F10) },
          { { SysKeyDown, 0xA4 }, { KeyDown, 0x09 }, { KeyUp, 0x09 }, { KeyUp, 0xA4 }, { SysKeyDown, 0xA5 },
            { KeyUp, 0xA5 }, { SysKeyDown, 0x79 }, { SysKeyUp, 0x79 } },
          0x04 | 0x40, 0x79, 4,
          { { 0xA4, false }, { 0x09, false }, { 0x09, true }, { 0xA4, true }, { 0xA5, false }, { 0xA5, true },
            { 0x79, false }, { 0x79, true } } },
        { "a held key's repeats",
          { down(KeyB), down(KeyB), down(KeyB), up(KeyB), down(LeftShift), down(LeftShift), up(LeftShift) },
          { { KeyDown, 0x42 }, { KeyDown, 0x42 }, { KeyDown, 0x42 }, { KeyUp, 0x42 }, { KeyDown, 0xA0 },
            { KeyDown, 0xA0 }, { KeyUp, 0xA0 } },
          0x02, 0x42, 2,
          { { 0x42, false }, { 0x42, true }, { 0xA0, false }, { 0xA0, true } } },
        { "key-ups without key-downs",
          { up(KeyC), up(RightCtrl), down(KeyC), up(KeyC), up(KeyC) },
          { { KeyUp, 0x43 }, { KeyUp, 0xA3 }, { KeyDown, 0x43 }, { KeyUp, 0x43 }, { KeyUp, 0x43 } },
          0x00, 0x43, 1,
          { { 0x43, false }, { 0x43, true } } },
        { "the no-key code 0xFF",
          { down(NoKey), down(KeyA), up(NoKey), up(KeyA) },
          { { KeyDown, 0xFF }, { KeyDown, 0x41 }, { KeyUp, 0xFF }, { KeyUp, 0x41 } },
          0x00, 0x41, 1,
          { { 0x41, false }, { 0x41, true } } },
    };
    return cases;
}

// The HID device interface class, as the filter asks for it and as arrival records carry it.
constexpr std::uint8_t HidInterfaceClass[16] = { 0xB2, 0x55, 0x1E, 0x4D, 0x6F, 0xF1, 0xCF, 0x11,
                                                 0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30 };

constexpr std::uint32_t Arrival = 0x8000;
constexpr std::uint32_t QueryRemove = 0x8001;
constexpr std::uint32_t RemoveComplete = 0x8004;
constexpr std::uint32_t DevNodesChanged = 0x0007;

inline void appendLittleEndian(std::vector<std::uint8_t> &bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(std::uint8_t(value >> (8 * i)));
}

// A device-interface record with `name` and its NUL; `declaredSize` 0 means the record's true size.
inline std::vector<std::uint8_t> interfaceRecord(const std::u16string &name, std::uint32_t declaredSize = 0)
{
    const std::uint32_t size = std::uint32_t(28 + 2 * (name.size() + 1));
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, declaredSize ? declaredSize : size, 4);
    appendLittleEndian(bytes, 5, 4);
    appendLittleEndian(bytes, 0, 4);
    bytes.insert(bytes.end(), HidInterfaceClass, HidInterfaceClass + 16);
    for (char16_t unit : name)
        appendLittleEndian(bytes, unit, 2);
    appendLittleEndian(bytes, 0, 2);
    return bytes;
}

// A record of another device type: a volume (DEV_BROADCAST_VOLUME, type 2) or a port with its name
// (DEV_BROADCAST_PORT_W, type 3).
inline std::vector<std::uint8_t> volumeRecord()
{
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, 20, 4);
    appendLittleEndian(bytes, 2, 4);
    appendLittleEndian(bytes, 0, 4);
    appendLittleEndian(bytes, 1u << 4, 4);   // drive E:
    appendLittleEndian(bytes, 0, 2);
    appendLittleEndian(bytes, 0, 2);
    return bytes;
}

inline std::vector<std::uint8_t> portRecord(const std::u16string &name)
{
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, std::uint32_t(12 + 2 * (name.size() + 1)), 4);
    appendLittleEndian(bytes, 3, 4);
    appendLittleEndian(bytes, 0, 4);
    for (char16_t unit : name)
        appendLittleEndian(bytes, unit, 2);
    appendLittleEndian(bytes, 0, 2);
    return bytes;
}

inline const std::u16string MousePath =
    u"\\\\?\\HID#VID_3044&PID_9D09&MI_01#7&2b1c3d4e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

struct BroadcastCase
{
    const char *name;
    std::uint32_t event;
    std::vector<std::uint8_t> record;
    // Whether the main window is told of a change at all, and which.
    bool reported;
    bool arrival;
    std::uint32_t deviceType;
    std::u16string interfaceName;
};

inline const std::vector<BroadcastCase> &broadcastCases()
{
    static const std::vector<BroadcastCase> cases = {
        { "arrival of the mouse", Arrival, interfaceRecord(MousePath), true, true, 5, MousePath },
        { "removal of the mouse", RemoveComplete, interfaceRecord(MousePath), true, false, 5, MousePath },
        { "removal with a Chinese name", RemoveComplete, interfaceRecord(u"\\\\?\\HID#鼠标设备#1"), true, false, 5,
          u"\\\\?\\HID#鼠标设备#1" },
        { "name longer than its record", RemoveComplete, interfaceRecord(MousePath, 28 + 2 * 20), true, false, 5,
          MousePath.substr(0, 20) },
        { "name without a NUL in its record", Arrival, interfaceRecord(u"abcdef", 28 + 2 * 6), true, true, 5,
          u"abcdef" },
        { "odd record size", Arrival, interfaceRecord(u"abcdef", 28 + 2 * 3 + 1), true, true, 5, u"abc" },
        { "empty name", Arrival, interfaceRecord(u""), true, true, 5, u"" },
        { "arrival of a volume", Arrival, volumeRecord(), true, true, 2, u"" },
        { "removal of a port", RemoveComplete, portRecord(u"COM3"), true, false, 3, u"" },
        { "record shorter than its header", Arrival, interfaceRecord(MousePath, 8), false, false, 0, u"" },
        { "query before a removal", QueryRemove, interfaceRecord(MousePath), false, false, 0, u"" },
        { "device nodes changed, no record", DevNodesChanged, {}, false, false, 0, u"" },
    };
    return cases;
}

inline std::u16string repeated(const std::u16string &text, int count)
{
    std::u16string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

inline std::string repeated(const std::string &text, int count)
{
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

// The device path as `devicePath` keeps it in code page 936 (GBK): converted, then cut at 511 bytes.
struct PathCase
{
    const char *name;
    std::u16string path;
    std::string cp936;
};

inline const std::vector<PathCase> &pathCases()
{
    static const std::vector<PathCase> cases = {
        { "interface path", MousePath,
          "\\\\?\\HID#VID_3044&PID_9D09&MI_01#7&2b1c3d4e&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}" },
        { "Chinese name", u"\\\\?\\hid#鼠标设备#1", "\\\\?\\hid#\xCA\xF3\xB1\xEA\xC9\xE8\xB1\xB8#1" },
        { "accented letter in the code page", u"hid#é", "hid#\xA8\xA6" },
        { "letter outside the code page", u"hid#ก#1", "hid#?#1" },
        { "511 bytes kept", repeated(u"a", 511), repeated("a", 511) },
        { "512 bytes cut to 511", repeated(u"a", 512), repeated("a", 511) },
        { "700 bytes cut to 511", repeated(u"b", 700), repeated("b", 511) },
        // 4 + 2 x 253 = 510 bytes, then the first byte of the next character.
        { "double-byte text cut at 511 bytes", u"\\\\?\\" + repeated(u"设", 300),
          "\\\\?\\" + repeated("\xC9\xE8", 253) + "\xC9" },
        { "double-byte text ending at 510 bytes", repeated(u"设", 255), repeated("\xC9\xE8", 255) },
    };
    return cases;
}

} // namespace PlatformCases

#endif
