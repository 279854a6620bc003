// What the emulated mouse does with each command: settings, queries, macros and the firmware transfer.
// Pure logic on a MouseMemory; the device library and the command-line tool keep the memory on disk.
#ifndef TARNO_EMU_MOUSE_H
#define TARNO_EMU_MOUSE_H

#include "mouse_memory.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarno_emu {

constexpr int CommandCapacity = 64;
constexpr int ControlReplySize = 32;
constexpr int ConfigReplySize = 64;
constexpr std::uint8_t ControlReportByte = 0x4D;
constexpr std::uint8_t ConfigReportByte = 0x57;
constexpr int MacroChunkEvents = 14;

constexpr std::uint32_t FirmwareBaseAddress = 0x08018000;
// Flash from the base address to the end of a 512 KiB part.
constexpr std::uint32_t FirmwareCapacity = 0x08080000 - FirmwareBaseAddress;
constexpr int FirmwareDataPerPacket = 56;

enum CommandCode : std::uint8_t {
    ReadLighting = 0xA0,
    SetLighting = 0xA1,
    ReadButton = 0xB0,
    WriteButton = 0xB1,
    SetDpi = 0xC1,
    ReadDpi = 0xC2,
    SetReportRate = 0xC3,
    ReadReportRate = 0xC4,
    FactoryReset = 0xEE,
    ReadFirmwareVersion = 0xD0,
    ReadMacro = 0xF0,
    WriteMacro = 0xF1,
    FirmwareStart = 0xDE,
    FirmwarePrepare = 0xD1,
    FirmwareRegion = 0xD2,
    FirmwareData = 0xD3,
    FirmwareDataEnd = 0xD6,
    FirmwareRecord = 0xD5,
    FirmwareFinish = 0xD7,
};

// A command as written, zero-padded to the largest report.
using Command = std::array<std::uint8_t, CommandCapacity>;
// A full reply report; empty when the command has no reply.
using Reply = std::vector<std::uint8_t>;

// Image header: "Z31F", then major, minor and patch.
constexpr char ImageMagic[4] = {'Z', '3', '1', 'F'};
constexpr std::size_t ImageHeaderSize = 7;

// The version an image carries, or `current` when it has no header.
std::array<std::uint8_t, 3> imageVersion(const std::vector<std::uint8_t> &image,
                                         const std::array<std::uint8_t, 3> &current);

// Collects the packets of a firmware transfer and checks them against the closing image record.
class FirmwareReceiver
{
public:
    enum class Result { Pending, Accepted, Rejected };

    static bool handles(std::uint8_t code);

    // Accepted only for the finish packet of a complete transfer whose length and checksum matched;
    // image() then holds the new firmware until the next packet.
    Result handle(const Command &command);
    const std::vector<std::uint8_t> &image() const { return image_; }
    void reset();

private:
    std::vector<std::uint8_t> image_;
    bool regionSet_ = false;
    bool broken_ = false;
    bool dataEnded_ = false;
    bool verified_ = false;
    bool finished_ = false;
};

// Applies a control command. Settings out of range keep their old value, as the firmware does.
Reply handleControlCommand(MouseMemory &memory, const Command &command);

struct ConfigOutcome
{
    Reply reply;
    bool firmwareAccepted = false;   // memory already names the new image; the mouse must re-enumerate
};

// Applies a config command; a transfer that completes makes receiver.image() the active firmware.
ConfigOutcome handleConfigCommand(MouseMemory &memory, FirmwareReceiver &receiver, const Command &command);

// The mouse's own DPI button: the next enabled level, wrapping to the first.
void pressDpiButton(MouseMemory &memory);

}

#endif
