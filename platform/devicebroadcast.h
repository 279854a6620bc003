// The record of a device-change broadcast (WM_DEVICECHANGE with a DEV_BROADCAST_DEVICEINTERFACE), read without
// any system or framework header so that the Windows layer and the other builds share one reading.
#ifndef DEVICEBROADCAST_H
#define DEVICEBROADCAST_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace DeviceBroadcast {
constexpr std::uint32_t Arrival = 0x8000;          // DBT_DEVICEARRIVAL
constexpr std::uint32_t RemoveComplete = 0x8004;   // DBT_DEVICEREMOVECOMPLETE
constexpr std::uint32_t InterfaceType = 5;         // DBT_DEVTYP_DEVICEINTERFACE
// size, device type and reserved, 32 bits each
constexpr std::size_t HeaderSize = 12;
// after the header and the 16-byte interface class
constexpr std::size_t NameOffset = 28;
} // namespace DeviceBroadcast

struct DeviceBroadcastRecord
{
    enum Kind { Arrival, Removal };

    Kind kind = Arrival;
    std::uint32_t deviceType = DeviceBroadcast::InterfaceType;
    std::u16string interfaceName;
};

// Reads a device-change record: 32-bit little-endian size, type and reserved fields, the interface class, then
// the interface name as NUL-terminated UTF-16 at NameOffset (for interface records only). Reads nothing beyond
// `available` bytes nor beyond the record's own size field; a name that is not terminated within them ends
// there. Returns nothing for events other than arrival and removal, and for records too short to carry their
// type.
std::optional<DeviceBroadcastRecord> readDeviceBroadcast(std::uint32_t event, const void *record,
                                                         std::size_t available);

#endif
