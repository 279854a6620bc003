// Arrival and removal of devices, as the system reports them to the main window.
#ifndef DEVICECHANGE_H
#define DEVICECHANGE_H

#include "platform/devicebroadcast.h"

#include <QMetaType>
#include <QString>

#include <cstddef>
#include <optional>

struct DeviceChange
{
    enum Kind { Arrival = DeviceBroadcastRecord::Arrival, Removal = DeviceBroadcastRecord::Removal };

    Kind kind = Arrival;
    quint32 deviceType = DeviceBroadcast::InterfaceType;
    QString interfaceName;
};
Q_DECLARE_METATYPE(DeviceChange)

DeviceChange toDeviceChange(const DeviceBroadcastRecord &record);

// readDeviceBroadcast, with the name as a QString.
std::optional<DeviceChange> parseDeviceBroadcast(quint32 event, const void *record, std::size_t available);

#endif
