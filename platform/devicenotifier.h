// Device-change notifications for the main window: the system's broadcasts on Windows, a watch on the
// device-node folders elsewhere.
#ifndef DEVICENOTIFIER_H
#define DEVICENOTIFIER_H

#include "platform/devicechange.h"

#include <QObject>

class QWidget;

class DeviceNotifier : public QObject
{
    Q_OBJECT

public:
    // `window` receives the system's notifications; the notifier is its child.
    explicit DeviceNotifier(QWidget *window);
    ~DeviceNotifier() override;

    // Registers for notifications. On failure the reason is logged and false returned: the window then only
    // finds the mouse at start-up.
    bool start();
    // Hands over a native message of the window; device changes among them are emitted.
    void handleNativeEvent(const QByteArray &eventType, void *message);

signals:
    void deviceChanged(const DeviceChange &change);

private:
    QWidget *window;
    void *registration = nullptr;
};

#endif
