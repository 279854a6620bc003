#include "platform/devicenotifier.h"

#include "platform/posix/nodewatcher.h"

#include <QWidget>

DeviceNotifier::DeviceNotifier(QWidget *window)
    : QObject(window)
    , window(window)
{
}

DeviceNotifier::~DeviceNotifier() = default;

bool DeviceNotifier::start()
{
    if (registration)
        return true;
    auto *watcher = new NodeWatcher(NodeWatcher::configuredFolders(), this);
    connect(watcher, &NodeWatcher::deviceChanged, this, &DeviceNotifier::deviceChanged);
    registration = watcher;
    return true;
}

void DeviceNotifier::handleNativeEvent(const QByteArray &, void *)
{
}
