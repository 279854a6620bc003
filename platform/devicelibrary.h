// Where the device library is found and why loading it failed.
#ifndef DEVICELIBRARY_H
#define DEVICELIBRARY_H

#include <QString>

// The library's file name as the loader wants it: "tarno.dll" on Windows (found beside the executable by the
// system's search order), the absolute path of the shared library beside the executable elsewhere.
QString deviceLibraryFileName();
// The system's error code of the last failed load (GetLastError on Windows, errno elsewhere, 0 if unknown).
int lastLibraryLoadError();

#endif
