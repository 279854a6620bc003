#include "platform/win32/libraryload.h"

#include <windows.h>

namespace Win32 {

unsigned long libraryLoadError(const wchar_t *fileName)
{
    // No system message box about missing files while trying.
    DWORD previousMode = 0;
    const bool quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = LoadLibraryW(fileName);
    const DWORD error = module ? 0 : GetLastError();
    if (quiet)
        SetThreadErrorMode(previousMode, nullptr);
    if (module)
        FreeLibrary(module);
    return error;
}

} // namespace Win32
