#include "platform/devicepath.h"

#include "device/devicecontext.h"

QByteArray capDevicePath(QByteArray path)
{
    const int nul = path.indexOf('\0');
    if (nul >= 0)
        path.truncate(nul);
    if (path.size() > DevicePathSize - 1)
        path.truncate(DevicePathSize - 1);
    return path;
}
