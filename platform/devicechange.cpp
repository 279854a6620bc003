#include "platform/devicechange.h"

#include <QtEndian>

#include <algorithm>

std::optional<DeviceChange> parseDeviceBroadcast(quint32 event, const void *record, std::size_t available)
{
    if (event != DeviceBroadcast::Arrival && event != DeviceBroadcast::RemoveComplete)
        return std::nullopt;
    if (!record || available < DeviceBroadcast::HeaderSize)
        return std::nullopt;

    const auto *bytes = static_cast<const uchar *>(record);
    const std::size_t declaredSize = qFromLittleEndian<quint32>(bytes);
    const std::size_t size = std::min(available, declaredSize);
    if (size < DeviceBroadcast::HeaderSize)
        return std::nullopt;

    DeviceChange change;
    change.kind = event == DeviceBroadcast::Arrival ? DeviceChange::Arrival : DeviceChange::Removal;
    change.deviceType = qFromLittleEndian<quint32>(bytes + 4);
    if (change.deviceType != DeviceBroadcast::InterfaceType)
        return change;

    for (std::size_t offset = DeviceBroadcast::NameOffset; offset + 2 <= size; offset += 2) {
        const char16_t unit = qFromLittleEndian<quint16>(bytes + offset);
        if (unit == 0)
            break;
        change.interfaceName.append(QChar(unit));
    }
    return change;
}
