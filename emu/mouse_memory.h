// The onboard memory of the emulated mouse and its text form (name=value lines).
#ifndef TARNO_EMU_MOUSE_MEMORY_H
#define TARNO_EMU_MOUSE_MEMORY_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarno_emu {

constexpr int FirstButtonId = 2;
constexpr int LastButtonId = 9;
constexpr int ButtonCount = LastButtonId - FirstButtonId + 1;
constexpr int DpiLevelCount = 5;
constexpr int MaxMacroEvents = 100;
constexpr int MacroEventSize = 4;
constexpr std::uint8_t MaxDpiValue = 144;
constexpr std::uint8_t MaxLightingSpeed = 8;

// Usage id, up flag, delay in milliseconds (low byte, high byte), as on the wire.
using MacroEvent = std::array<std::uint8_t, MacroEventSize>;

struct ButtonAssignment
{
    std::uint8_t funcType = 0;
    std::uint8_t funcId = 0;
    std::uint8_t param1 = 0;   // modifier byte of a custom combination, or the macro's event count
    std::uint8_t param2 = 0;   // key usage id of a custom combination
    std::vector<MacroEvent> macro;

    bool operator==(const ButtonAssignment &other) const;
    bool operator!=(const ButtonAssignment &other) const { return !(*this == other); }
};

struct MouseMemory
{
    std::uint8_t lightingMode = 1;
    std::uint8_t lightingSpeed = 3;
    std::uint8_t red = 43;
    std::uint8_t green = 172;
    std::uint8_t blue = 57;

    std::array<std::uint8_t, DpiLevelCount> dpiLevels{{15, 31, 47, 63, 79}};
    std::uint8_t dpiCurrent = 1;
    std::uint8_t dpiAim = 7;
    std::uint8_t dpiHighest = 4;

    std::uint8_t reportRate = 1;

    std::array<ButtonAssignment, ButtonCount> buttons = factoryButtons();

    std::array<std::uint8_t, 3> firmwareVersion{{1, 0, 0}};
    std::uint32_t firmwareSize = 0;
    std::uint32_t firmwareCrc = 0xFFFFFFFFu;

    static std::array<ButtonAssignment, ButtonCount> factoryButtons();

    ButtonAssignment &button(int id) { return buttons[id - FirstButtonId]; }
    const ButtonAssignment &button(int id) const { return buttons[id - FirstButtonId]; }

    bool operator==(const MouseMemory &other) const;
    bool operator!=(const MouseMemory &other) const { return !(*this == other); }
};

bool isValidLightingMode(int mode);
bool isValidReportRate(int code);
bool isValidDpiValue(int value);

// Factory settings; the firmware (version, size, checksum) is kept.
void restoreFactorySettings(MouseMemory &memory);

// The memory as name=value lines, one per setting, each ending in '\n'.
std::string formatMemory(const MouseMemory &memory);

// Calls `take(name, value)` for each non-empty "name=value" line of `text`; false when a line had no '=' or
// `take` refused it (the other lines are still taken).
bool forEachSetting(const std::string &text,
                    const std::function<bool(const std::string &name, const std::string &value)> &take);

// Reads lines written by formatMemory. Settings that are missing, unknown or out of range keep their factory
// value; the result is false when any line was rejected.
bool parseMemory(const std::string &text, MouseMemory &memory);

}

#endif
