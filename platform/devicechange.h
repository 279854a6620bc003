// Arrival and removal of devices, as the system reports them to the main window.
#ifndef DEVICECHANGE_H
#define DEVICECHANGE_H

#include <QMetaType>
#include <QString>

#include <cstddef>
#include <optional>

// Values of the system's device-change broadcast (WM_DEVICECHANGE with a DEV_BROADCAST_DEVICEINTERFACE record).
namespace DeviceBroadcast {
constexpr quint32 Arrival = 0x8000;          // DBT_DEVICEARRIVAL
constexpr quint32 RemoveComplete = 0x8004;   // DBT_DEVICEREMOVECOMPLETE
constexpr quint32 InterfaceType = 5;         // DBT_DEVTYP_DEVICEINTERFACE
// size, device type and reserved, 32 bits each
constexpr std::size_t HeaderSize = 12;
// after the header and the 16-byte interface class
constexpr std::size_t NameOffset = 28;
} // namespace DeviceBroadcast

struct DeviceChange
{
    enum Kind { Arrival, Removal };

    Kind kind = Arrival;
    quint32 deviceType = DeviceBroadcast::InterfaceType;
    QString interfaceName;
};
Q_DECLARE_METATYPE(DeviceChange)

// Reads a device-change record: 32-bit size, type and reserved fields, the interface class, then the interface
// name as NUL-terminated UTF-16 at NameOffset. Reads nothing beyond `available` bytes nor beyond the record's own
// size field; a name that is not terminated within them ends there. Returns nothing for events other than
// arrival and removal, and for records too short to carry their type.
std::optional<DeviceChange> parseDeviceBroadcast(quint32 event, const void *record, std::size_t available);

#endif
