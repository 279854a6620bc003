#include "mouse.h"

#include "stm32_crc.h"

#include <algorithm>
#include <cstring>

namespace tarno_emu {

namespace {

constexpr int FunctionCount = 11;
constexpr int CombinationCount = 10;

enum FuncType : std::uint8_t { Function = 0, Combination = 1, Macro = 2 };

std::uint32_t bigEndian32(const std::uint8_t *bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

bool isButtonId(int id) { return id >= FirstButtonId && id <= LastButtonId; }

Reply makeReply(std::uint8_t reportByte, int size, std::uint8_t code)
{
    Reply reply(size, 0);
    reply[0] = reportByte;
    reply[1] = code;
    return reply;
}

void setButton(MouseMemory &memory, const Command &c)
{
    if (!isButtonId(c[1]))
        return;
    ButtonAssignment &button = memory.button(c[1]);
    const std::uint8_t type = c[2], id = c[3];
    switch (type) {
    case Function:
        if (id >= FunctionCount)
            return;
        button = ButtonAssignment{type, id, 0, 0, {}};
        break;
    case Combination:
        if (id >= CombinationCount)
            return;
        button = id == 0 ? ButtonAssignment{type, id, c[4], c[5], {}} : ButtonAssignment{type, id, 0, 0, {}};
        break;
    case Macro: {
        const std::uint8_t count = c[4];
        if (id > 1 || count > MaxMacroEvents)
            return;
        std::vector<MacroEvent> events = std::move(button.macro);
        if (events.size() > count)
            events.resize(count);
        button = ButtonAssignment{type, id, count, 0, std::move(events)};
        break;
    }
    default:
        break;
    }
}

void setDpi(MouseMemory &memory, const Command &c)
{
    for (int level = 0; level < DpiLevelCount; ++level) {
        if (isValidDpiValue(c[1 + level]))
            memory.dpiLevels[level] = c[1 + level];
    }
    if (c[6] < DpiLevelCount)
        memory.dpiCurrent = c[6];
    if (isValidDpiValue(c[7]))
        memory.dpiAim = c[7];
    // 0xFF means that no level count was chosen.
    if (c[8] < DpiLevelCount)
        memory.dpiHighest = c[8];
    // The mouse cannot stay on a level that is no longer enabled.
    memory.dpiCurrent = std::min(memory.dpiCurrent, memory.dpiHighest);
}

void writeMacroChunk(MouseMemory &memory, const Command &c)
{
    const int id = c[1], count = c[2], first = c[3];
    if (!isButtonId(id) || count < 1 || count > MacroChunkEvents || first + count > MaxMacroEvents)
        return;
    std::vector<MacroEvent> &macro = memory.button(id).macro;
    if (macro.size() < std::size_t(first + count))
        macro.resize(first + count, MacroEvent{});
    for (int j = 0; j < count; ++j)
        std::memcpy(macro[first + j].data(), &c[4 + MacroEventSize * j], MacroEventSize);
}

Reply readMacroChunk(const MouseMemory &memory, const Command &c)
{
    Reply reply = makeReply(ConfigReportByte, ConfigReplySize, c[0]);
    const int id = c[1], count = c[2], first = c[3];
    reply[3] = c[1];
    reply[4] = c[2];
    reply[5] = c[3];
    if (!isButtonId(id) || count < 1 || count > MacroChunkEvents)
        return reply;
    const std::vector<MacroEvent> &macro = memory.button(id).macro;
    for (int j = 0; j < count && std::size_t(first + j) < macro.size(); ++j)
        std::memcpy(&reply[6 + MacroEventSize * j], macro[first + j].data(), MacroEventSize);
    return reply;
}

}

std::array<std::uint8_t, 3> imageVersion(const std::vector<std::uint8_t> &image,
                                         const std::array<std::uint8_t, 3> &current)
{
    if (image.size() < ImageHeaderSize || std::memcmp(image.data(), ImageMagic, sizeof ImageMagic) != 0)
        return current;
    return {image[4], image[5], image[6]};
}

bool FirmwareReceiver::handles(std::uint8_t code)
{
    switch (code) {
    case FirmwareStart:
    case FirmwarePrepare:
    case FirmwareRegion:
    case FirmwareData:
    case FirmwareDataEnd:
    case FirmwareRecord:
    case FirmwareFinish:
        return true;
    default:
        return false;
    }
}

void FirmwareReceiver::reset()
{
    image_.clear();
    regionSet_ = broken_ = dataEnded_ = verified_ = finished_ = false;
}

FirmwareReceiver::Result FirmwareReceiver::handle(const Command &c)
{
    if (finished_)
        reset();
    switch (c[0]) {
    case FirmwareStart:
    case FirmwarePrepare:
        reset();
        break;
    case FirmwareRegion:
        reset();
        regionSet_ = bigEndian32(&c[3]) == FirmwareBaseAddress;
        break;
    case FirmwareData: {
        const std::size_t count = c[2];
        const bool inPlace = regionSet_ && !dataEnded_ && !verified_
            && bigEndian32(&c[3]) == FirmwareBaseAddress + image_.size();
        if (!inPlace || count > FirmwareDataPerPacket || image_.size() + count > FirmwareCapacity) {
            broken_ = true;
            break;
        }
        image_.insert(image_.end(), &c[7], &c[7] + count);
        break;
    }
    case FirmwareDataEnd:
        dataEnded_ = true;
        break;
    case FirmwareRecord:
        // An empty image would leave the mouse without firmware.
        verified_ = regionSet_ && dataEnded_ && !broken_ && !image_.empty()
            && bigEndian32(&c[3]) == FirmwareBaseAddress && bigEndian32(&c[7]) == image_.size()
            && bigEndian32(&c[11]) == stm32Crc(image_.data(), image_.size());
        break;
    case FirmwareFinish:
        finished_ = true;
        return verified_ ? Result::Accepted : Result::Rejected;
    default:
        break;
    }
    return Result::Pending;
}

Reply handleControlCommand(MouseMemory &memory, const Command &c)
{
    Reply reply;
    switch (c[0]) {
    case ReadLighting:
        reply = makeReply(ControlReportByte, ControlReplySize, c[0]);
        reply[4] = memory.lightingMode;
        reply[5] = memory.lightingSpeed;
        reply[8] = memory.red;
        reply[9] = memory.green;
        reply[10] = memory.blue;
        break;
    case SetLighting:
        if (isValidLightingMode(c[2]))
            memory.lightingMode = c[2];
        if (c[3] >= 1 && c[3] <= MaxLightingSpeed)
            memory.lightingSpeed = c[3];
        memory.red = c[6];
        memory.green = c[7];
        memory.blue = c[8];
        break;
    case ReadButton:
        reply = makeReply(ControlReportByte, ControlReplySize, c[0]);
        reply[3] = c[1];
        if (isButtonId(c[1])) {
            const ButtonAssignment &button = memory.button(c[1]);
            reply[4] = button.funcType;
            reply[5] = button.funcId;
            reply[6] = button.param1;
            reply[7] = button.param2;
        }
        break;
    case WriteButton:
        setButton(memory, c);
        break;
    case SetDpi:
        setDpi(memory, c);
        break;
    case ReadDpi:
        reply = makeReply(ControlReportByte, ControlReplySize, c[0]);
        std::copy(memory.dpiLevels.begin(), memory.dpiLevels.end(), reply.begin() + 3);
        reply[8] = memory.dpiCurrent;
        reply[9] = memory.dpiAim;
        reply[10] = memory.dpiHighest;
        break;
    case SetReportRate:
        if (isValidReportRate(c[1]))
            memory.reportRate = c[1];
        break;
    case ReadReportRate:
        reply = makeReply(ControlReportByte, ControlReplySize, c[0]);
        reply[3] = memory.reportRate;
        break;
    case FactoryReset:
        restoreFactorySettings(memory);
        break;
    default:
        break;
    }
    return reply;
}

ConfigOutcome handleConfigCommand(MouseMemory &memory, FirmwareReceiver &receiver, const Command &c)
{
    ConfigOutcome outcome;
    if (FirmwareReceiver::handles(c[0])) {
        if (receiver.handle(c) == FirmwareReceiver::Result::Accepted) {
            const std::vector<std::uint8_t> &image = receiver.image();
            memory.firmwareVersion = imageVersion(image, memory.firmwareVersion);
            memory.firmwareSize = std::uint32_t(image.size());
            memory.firmwareCrc = stm32Crc(image.data(), image.size());
            outcome.firmwareAccepted = true;
        }
        return outcome;
    }
    switch (c[0]) {
    case ReadFirmwareVersion:
        outcome.reply = makeReply(ConfigReportByte, ConfigReplySize, c[0]);
        std::copy(memory.firmwareVersion.begin(), memory.firmwareVersion.end(), outcome.reply.begin() + 3);
        break;
    case ReadMacro:
        outcome.reply = readMacroChunk(memory, c);
        break;
    case WriteMacro:
        writeMacroChunk(memory, c);
        break;
    default:
        break;
    }
    return outcome;
}

void pressDpiButton(MouseMemory &memory)
{
    memory.dpiCurrent = memory.dpiCurrent >= memory.dpiHighest ? 0 : memory.dpiCurrent + 1;
}

}
