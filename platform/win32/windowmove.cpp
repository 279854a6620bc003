#include "platform/win32/windowmove.h"

namespace Win32 {

bool startWindowMove(HWND window)
{
    if (!ReleaseCapture())
        return false;
    SendMessageW(window, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, 0);
    return true;
}

} // namespace Win32
