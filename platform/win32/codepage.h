// Text in the system's ANSI code page. Needs only <windows.h> and the standard library.
#ifndef WIN32_CODEPAGE_H
#define WIN32_CODEPAGE_H

#include <string>

namespace Win32 {

// The NUL-terminated UTF-16 text in the ANSI code page (WideCharToMultiByte with CP_ACP), without the NUL.
// Characters the code page lacks become its default character. Empty for no text and when the conversion
// fails.
std::string ansiCodePageText(const wchar_t *text);

} // namespace Win32

#endif
