#include "platform/win32/consolebreak.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<void (*)(int)> breakHandler { nullptr };

BOOL WINAPI onControl(DWORD event)
{
    void (*handler)(int) = breakHandler.load();
    if (!handler)
        return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        handler(130);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        handler(143);
        return TRUE;
    default:
        return FALSE;
    }
}

}   // namespace

bool Win32::watchConsoleBreaks(void (*onBreak)(int exitCode))
{
    breakHandler = onBreak;
    return SetConsoleCtrlHandler(onControl, TRUE) != FALSE;
}

void Win32::stopWatchingConsoleBreaks()
{
    SetConsoleCtrlHandler(onControl, FALSE);
    breakHandler = nullptr;
}
