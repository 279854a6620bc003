#include "platform/devicepath.h"

#include "device/devicecontext.h"
#include "platform/devicepathtext.h"

static_assert(DevicePathBytes == std::size_t(DevicePathSize), "the cap fits devicePath");

QByteArray capDevicePath(const QByteArray &path)
{
    return QByteArray::fromStdString(capDevicePathText(path.toStdString()));
}
