// Device-change notifications of HID device interfaces for a window (RegisterDeviceNotificationW and the
// WM_DEVICECHANGE messages that follow). Needs only <windows.h> and the standard library.
#ifndef WIN32_DEVICENOTIFICATION_H
#define WIN32_DEVICENOTIFICATION_H

#include "platform/devicebroadcast.h"

#include <windows.h>
#include <dbt.h>

#include <optional>

namespace Win32 {

// Arrival and removal of HID device interfaces: a device-interface filter on the HID interface class, no name.
DEV_BROADCAST_DEVICEINTERFACE_W hidInterfaceFilter();

// Registers `window` (a message-only window will do) for the broadcasts of hidInterfaceFilter(). Returns null
// when the system refuses, with its error code (GetLastError) in `error`.
HDEVNOTIFY registerHidInterfaceNotifications(HWND window, DWORD &error);
bool unregisterDeviceNotifications(HDEVNOTIFY registration);

// The arrival or removal that a WM_DEVICECHANGE message carries. The record is read no further than its own
// size field says; other messages, other events and messages without a record give nothing.
std::optional<DeviceBroadcastRecord> deviceChangeOfMessage(UINT message, WPARAM wParam, LPARAM lParam);

} // namespace Win32

#endif
