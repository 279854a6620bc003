#include "platform/devicelibrary.h"

#include <QCoreApplication>

#include <cerrno>

QString deviceLibraryFileName()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/libtarno.so");
}

int lastLibraryLoadError()
{
    return errno;
}
