#include "platform/devicenotifier.h"

#include <QDebug>
#include <QWidget>

#include <windows.h>
#include <dbt.h>

namespace {

// The HID device interface class.
const GUID hidInterfaceClass = { 0x4D1E55B2, 0xF16F, 0x11CF, { 0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30 } };

} // namespace

DeviceNotifier::DeviceNotifier(QWidget *window)
    : QObject(window)
    , window(window)
{
}

DeviceNotifier::~DeviceNotifier()
{
    if (registration)
        UnregisterDeviceNotification(static_cast<HDEVNOTIFY>(registration));
}

bool DeviceNotifier::start()
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = hidInterfaceClass;
    filter.dbcc_name[0] = 0;

    const auto handle = reinterpret_cast<HANDLE>(window->winId());
    registration = RegisterDeviceNotificationW(handle, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!registration) {
        qDebug() << "注册失败:" << GetLastError();
        return false;
    }
    return true;
}

void DeviceNotifier::handleNativeEvent(const QByteArray &eventType, void *message)
{
    if (eventType != "windows_generic_MSG" || !message)
        return;
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message != WM_DEVICECHANGE || !msg->lParam)
        return;
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(msg->lParam);
    // The record says how long it is; nothing past that is read.
    const auto change = parseDeviceBroadcast(quint32(msg->wParam), header, header->dbch_size);
    if (change)
        emit deviceChanged(*change);
}
