#include "platform/devicepath.h"

#include <QString>

QByteArray systemCodePagePath(const tarno_char16 *path)
{
    return QString::fromUtf16(path).toLocal8Bit();
}
