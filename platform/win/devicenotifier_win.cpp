#include "platform/devicenotifier.h"

#include "platform/win32/devicenotification.h"

#include <QDebug>
#include <QWidget>

DeviceNotifier::DeviceNotifier(QWidget *window)
    : QObject(window)
    , window(window)
{
}

DeviceNotifier::~DeviceNotifier()
{
    Win32::unregisterDeviceNotifications(static_cast<HDEVNOTIFY>(registration));
}

bool DeviceNotifier::start()
{
    if (registration)
        return true;
    DWORD error = 0;
    registration = Win32::registerHidInterfaceNotifications(reinterpret_cast<HWND>(window->winId()), error);
    if (!registration) {
        qDebug() << "注册失败:" << error;
        return false;
    }
    return true;
}

void DeviceNotifier::handleNativeEvent(const QByteArray &eventType, void *message)
{
    if (eventType != "windows_generic_MSG" || !message)
        return;
    const MSG *msg = static_cast<const MSG *>(message);
    if (const auto change = Win32::deviceChangeOfMessage(msg->message, msg->wParam, msg->lParam))
        emit deviceChanged(toDeviceChange(*change));
}
