// The console of the command prompt that started a windowed program. Needs only <windows.h> and the standard
// library.
#ifndef WIN32_CONSOLE_H
#define WIN32_CONSOLE_H

namespace Win32 {

// A windowed (GUI-subsystem) program has no console: attaches it to its parent's and points standard output
// and error there, except a stream the caller redirected to a file or a pipe, which stays as it is. False when
// the parent has no console.
bool attachParentConsole();

} // namespace Win32

#endif
