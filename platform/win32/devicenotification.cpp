#include "platform/win32/devicenotification.h"

#include <cstddef>

namespace {

const GUID hidInterfaceClass = { 0x4D1E55B2, 0xF16F, 0x11CF, { 0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30 } };

static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) == DeviceBroadcast::NameOffset,
              "the name sits where the record reader looks for it");

} // namespace

namespace Win32 {

DEV_BROADCAST_DEVICEINTERFACE_W hidInterfaceFilter()
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = hidInterfaceClass;
    filter.dbcc_name[0] = 0;
    return filter;
}

HDEVNOTIFY registerHidInterfaceNotifications(HWND window, DWORD &error)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = hidInterfaceFilter();
    HDEVNOTIFY registration = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    error = registration ? 0 : GetLastError();
    return registration;
}

bool unregisterDeviceNotifications(HDEVNOTIFY registration)
{
    return registration && UnregisterDeviceNotification(registration);
}

std::optional<DeviceBroadcastRecord> deviceChangeOfMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DEVICECHANGE || !lParam)
        return std::nullopt;
    // Events without a record (DBT_DEVNODES_CHANGED and others) carry no pointer worth reading.
    if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE)
        return std::nullopt;
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
    return readDeviceBroadcast(DWORD(wParam), header, header->dbch_size);
}

} // namespace Win32
