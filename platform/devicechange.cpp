#include "platform/devicechange.h"

DeviceChange toDeviceChange(const DeviceBroadcastRecord &record)
{
    return { DeviceChange::Kind(record.kind), record.deviceType, QString::fromStdU16String(record.interfaceName) };
}

std::optional<DeviceChange> parseDeviceBroadcast(quint32 event, const void *record, std::size_t available)
{
    const std::optional<DeviceBroadcastRecord> read = readDeviceBroadcast(event, record, available);
    if (!read)
        return std::nullopt;
    return toDeviceChange(*read);
}
