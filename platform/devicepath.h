// Conversion of the device path that the library returns into the text kept in `devicePath`.
#ifndef DEVICEPATH_H
#define DEVICEPATH_H

#include "device/tarno_api.h"

#include <QByteArray>

// The NUL-terminated UTF-16 path in the system's 8-bit code page (the ANSI code page on Windows).
QByteArray systemCodePagePath(const tarno_char16 *path);
// capDevicePathText: cuts the text so that it and its NUL fit into the 512-byte `devicePath`.
QByteArray capDevicePath(const QByteArray &path);

#endif
