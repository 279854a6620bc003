#include "platform/devicebroadcast.h"

#include <algorithm>

namespace {

std::uint32_t littleEndian32(const unsigned char *bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16
        | std::uint32_t(bytes[3]) << 24;
}

char16_t littleEndian16(const unsigned char *bytes)
{
    return char16_t(bytes[0] | bytes[1] << 8);
}

} // namespace

std::optional<DeviceBroadcastRecord> readDeviceBroadcast(std::uint32_t event, const void *record,
                                                         std::size_t available)
{
    if (event != DeviceBroadcast::Arrival && event != DeviceBroadcast::RemoveComplete)
        return std::nullopt;
    if (!record || available < DeviceBroadcast::HeaderSize)
        return std::nullopt;

    const auto *bytes = static_cast<const unsigned char *>(record);
    const std::size_t size = std::min<std::size_t>(available, littleEndian32(bytes));
    if (size < DeviceBroadcast::HeaderSize)
        return std::nullopt;

    DeviceBroadcastRecord change;
    change.kind = event == DeviceBroadcast::Arrival ? DeviceBroadcastRecord::Arrival : DeviceBroadcastRecord::Removal;
    change.deviceType = littleEndian32(bytes + 4);
    if (change.deviceType != DeviceBroadcast::InterfaceType)
        return change;

    for (std::size_t offset = DeviceBroadcast::NameOffset; offset + 2 <= size; offset += 2) {
        const char16_t unit = littleEndian16(bytes + offset);
        if (unit == 0)
            break;
        change.interfaceName.push_back(unit);
    }
    return change;
}
