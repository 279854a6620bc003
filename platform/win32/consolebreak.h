// Ctrl-C, Ctrl-Break and the closing of the console a command line runs in. Needs only <windows.h> and the
// standard library.
#ifndef WIN32_CONSOLEBREAK_H
#define WIN32_CONSOLEBREAK_H

namespace Win32 {

// From now on `onBreak` is called, on a thread of the system's, with 130 for Ctrl-C and Ctrl-Break (the process
// goes on) and with 143 when the console closes or the user logs off or the system shuts down (the system ends
// the process once it returns). False when the console cannot be watched.
bool watchConsoleBreaks(void (*onBreak)(int exitCode));
void stopWatchingConsoleBreaks();

}   // namespace Win32

#endif
