#include "mouse_memory.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tarno_emu {

namespace {

bool anyByte(int) { return true; }
bool validSpeed(int speed) { return speed >= 1 && speed <= MaxLightingSpeed; }
bool validLevelIndex(int index) { return index >= 0 && index < DpiLevelCount; }

struct ByteField
{
    const char *name;
    std::uint8_t MouseMemory::*member;
    bool (*valid)(int);
};

// Written before the DPI level values.
const ByteField LeadingFields[] = {
    {"lighting.mode", &MouseMemory::lightingMode, isValidLightingMode},
    {"lighting.speed", &MouseMemory::lightingSpeed, validSpeed},
    {"lighting.red", &MouseMemory::red, anyByte},
    {"lighting.green", &MouseMemory::green, anyByte},
    {"lighting.blue", &MouseMemory::blue, anyByte},
    {"report_rate", &MouseMemory::reportRate, isValidReportRate},
};

// Written after the DPI level values.
const ByteField DpiFields[] = {
    {"dpi.current", &MouseMemory::dpiCurrent, validLevelIndex},
    {"dpi.aim", &MouseMemory::dpiAim, isValidDpiValue},
    {"dpi.highest", &MouseMemory::dpiHighest, validLevelIndex},
};

const ByteField *findByteField(const std::string &name)
{
    for (const ByteField &field : LeadingFields) {
        if (name == field.name)
            return &field;
    }
    for (const ByteField &field : DpiFields) {
        if (name == field.name)
            return &field;
    }
    return nullptr;
}

struct ButtonField
{
    const char *name;
    std::uint8_t ButtonAssignment::*member;
};

const ButtonField ButtonFields[] = {
    {"func_type", &ButtonAssignment::funcType},
    {"func_id", &ButtonAssignment::funcId},
    {"param1", &ButtonAssignment::param1},
    {"param2", &ButtonAssignment::param2},
};

std::string dpiLevelName(int level) { return "dpi.level" + std::to_string(level + 1); }
std::string buttonName(int id, const char *field) { return "button" + std::to_string(id) + "." + field; }

bool parseUnsigned(const std::string &text, unsigned long max, int base, unsigned long &value)
{
    if (text.empty() || text.size() > 16)
        return false;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool hexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !(base == 16 && hexLetter))
            return false;
    }
    errno = 0;
    char *end = nullptr;
    value = std::strtoul(text.c_str(), &end, base);
    return errno == 0 && *end == '\0' && value <= max;
}

bool parseByte(const std::string &text, bool (*valid)(int), std::uint8_t &out)
{
    unsigned long value = 0;
    if (!parseUnsigned(text, 255, 10, value) || !valid(int(value)))
        return false;
    out = std::uint8_t(value);
    return true;
}

std::string formatMacro(const std::vector<MacroEvent> &macro)
{
    std::string text;
    char event[9];
    for (const MacroEvent &e : macro) {
        std::snprintf(event, sizeof event, "%02x%02x%02x%02x", e[0], e[1], e[2], e[3]);
        if (!text.empty())
            text += ' ';
        text += event;
    }
    return text;
}

bool parseMacro(const std::string &text, std::vector<MacroEvent> &out)
{
    std::vector<MacroEvent> macro;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        unsigned long value = 0;
        if (word.size() != 8 || !parseUnsigned(word, 0xFFFFFFFFul, 16, value) || macro.size() >= MaxMacroEvents)
            return false;
        macro.push_back({std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8),
                         std::uint8_t(value)});
    }
    out = std::move(macro);
    return true;
}

bool parseVersion(const std::string &text, std::array<std::uint8_t, 3> &out)
{
    std::array<std::uint8_t, 3> version{};
    std::size_t start = 0;
    for (int part = 0; part < 3; ++part) {
        const std::size_t dot = part < 2 ? text.find('.', start) : text.size();
        if (dot == std::string::npos || !parseByte(text.substr(start, dot - start), anyByte, version[part]))
            return false;
        start = dot + 1;
    }
    out = version;
    return true;
}

bool parseSetting(const std::string &name, const std::string &value, MouseMemory &memory)
{
    if (const ByteField *field = findByteField(name))
        return parseByte(value, field->valid, memory.*field->member);
    for (int level = 0; level < DpiLevelCount; ++level) {
        if (name == dpiLevelName(level))
            return parseByte(value, isValidDpiValue, memory.dpiLevels[level]);
    }
    for (int id = FirstButtonId; id <= LastButtonId; ++id) {
        ButtonAssignment &button = memory.button(id);
        for (const ButtonField &field : ButtonFields) {
            if (name == buttonName(id, field.name))
                return parseByte(value, anyByte, button.*field.member);
        }
        if (name == buttonName(id, "macro"))
            return parseMacro(value, button.macro);
    }
    unsigned long number = 0;
    if (name == "firmware.version")
        return parseVersion(value, memory.firmwareVersion);
    if (name == "firmware.size") {
        if (!parseUnsigned(value, 0xFFFFFFFFul, 10, number))
            return false;
        memory.firmwareSize = std::uint32_t(number);
        return true;
    }
    if (name == "firmware.crc") {
        if (value.size() != 8 || !parseUnsigned(value, 0xFFFFFFFFul, 16, number))
            return false;
        memory.firmwareCrc = std::uint32_t(number);
        return true;
    }
    return false;
}

}

bool ButtonAssignment::operator==(const ButtonAssignment &other) const
{
    return funcType == other.funcType && funcId == other.funcId && param1 == other.param1
        && param2 == other.param2 && macro == other.macro;
}

std::array<ButtonAssignment, ButtonCount> MouseMemory::factoryButtons()
{
    // Middle click, back, forward, DPI up, DPI down, aim key, scroll left, scroll right.
    const std::uint8_t functions[ButtonCount] = {3, 4, 5, 6, 7, 8, 9, 10};
    std::array<ButtonAssignment, ButtonCount> buttons;
    for (int i = 0; i < ButtonCount; ++i)
        buttons[i].funcId = functions[i];
    return buttons;
}

bool MouseMemory::operator==(const MouseMemory &other) const
{
    return lightingMode == other.lightingMode && lightingSpeed == other.lightingSpeed && red == other.red
        && green == other.green && blue == other.blue && dpiLevels == other.dpiLevels
        && dpiCurrent == other.dpiCurrent && dpiAim == other.dpiAim && dpiHighest == other.dpiHighest
        && reportRate == other.reportRate && buttons == other.buttons && firmwareVersion == other.firmwareVersion
        && firmwareSize == other.firmwareSize && firmwareCrc == other.firmwareCrc;
}

bool isValidLightingMode(int mode) { return (mode >= 0 && mode <= 4) || mode == 6; }
bool isValidReportRate(int code) { return code == 1 || code == 2 || code == 4 || code == 8; }
bool isValidDpiValue(int value) { return value >= 1 && value <= MaxDpiValue; }

void restoreFactorySettings(MouseMemory &memory)
{
    MouseMemory factory;
    factory.firmwareVersion = memory.firmwareVersion;
    factory.firmwareSize = memory.firmwareSize;
    factory.firmwareCrc = memory.firmwareCrc;
    memory = factory;
}

std::string formatMemory(const MouseMemory &memory)
{
    std::ostringstream out;
    auto line = [&out](const std::string &name, const std::string &value) { out << name << '=' << value << '\n'; };
    for (const ByteField &field : LeadingFields)
        line(field.name, std::to_string(memory.*field.member));
    for (int level = 0; level < DpiLevelCount; ++level)
        line(dpiLevelName(level), std::to_string(memory.dpiLevels[level]));
    for (const ByteField &field : DpiFields)
        line(field.name, std::to_string(memory.*field.member));
    for (int id = FirstButtonId; id <= LastButtonId; ++id) {
        const ButtonAssignment &button = memory.button(id);
        for (const ButtonField &field : ButtonFields)
            line(buttonName(id, field.name), std::to_string(button.*field.member));
        line(buttonName(id, "macro"), formatMacro(button.macro));
    }
    const auto &v = memory.firmwareVersion;
    line("firmware.version", std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]));
    line("firmware.size", std::to_string(memory.firmwareSize));
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", unsigned(memory.firmwareCrc));
    line("firmware.crc", crc);
    return out.str();
}

bool forEachSetting(const std::string &text,
                    const std::function<bool(const std::string &name, const std::string &value)> &take)
{
    bool allAccepted = true;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || !take(line.substr(0, equals), line.substr(equals + 1)))
            allAccepted = false;
    }
    return allAccepted;
}

bool parseMemory(const std::string &text, MouseMemory &memory)
{
    MouseMemory parsed;
    const bool allAccepted = forEachSetting(text, [&](const std::string &name, const std::string &value) {
        return parseSetting(name, value, parsed);
    });
    memory = std::move(parsed);
    return allAccepted;
}

}
