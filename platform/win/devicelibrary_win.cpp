#include "platform/devicelibrary.h"

#include "platform/win32/libraryload.h"

QString deviceLibraryFileName()
{
    return QStringLiteral("tarno.dll");
}

int lastLibraryLoadError()
{
    // Qt's loader makes further system calls after the failed load, any of which may replace the thread's last
    // error; a load of our own reports the code undisturbed.
    return int(Win32::libraryLoadError(reinterpret_cast<const wchar_t *>(deviceLibraryFileName().utf16())));
}
