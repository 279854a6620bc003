#include "platform/devicelibrary.h"

#include <windows.h>

QString deviceLibraryFileName()
{
    return QStringLiteral("tarno.dll");
}

int lastLibraryLoadError()
{
    return int(GetLastError());
}
