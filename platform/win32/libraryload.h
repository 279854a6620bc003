// Why a library does not load. Needs only <windows.h> and the standard library.
#ifndef WIN32_LIBRARYLOAD_H
#define WIN32_LIBRARYLOAD_H

namespace Win32 {

// Loads the library the way the system's search order finds `fileName` (LoadLibraryW) and, when that works,
// releases it again. Returns 0 when it loads, otherwise the system's error code (GetLastError): 126 when the
// file, or a library it needs, is not found.
unsigned long libraryLoadError(const wchar_t *fileName);

} // namespace Win32

#endif
