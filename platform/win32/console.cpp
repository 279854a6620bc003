#include "platform/win32/console.h"

#include <windows.h>

#include <cstdio>

namespace {

bool redirected(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

bool Win32::attachParentConsole()
{
    const bool outRedirected = redirected(STD_OUTPUT_HANDLE);
    const bool errRedirected = redirected(STD_ERROR_HANDLE);
    if (outRedirected && errRedirected)
        return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return false;
    bool reopened = true;
    if (!outRedirected)
        reopened = std::freopen("CONOUT$", "w", stdout) != nullptr && reopened;
    if (!errRedirected)
        reopened = std::freopen("CONOUT$", "w", stderr) != nullptr && reopened;
    return reopened;
}
