#include "platform/windowdrag.h"

#include <QWidget>

#include <windows.h>

bool startSystemWindowMove(QWidget *window)
{
    if (!ReleaseCapture())
        return false;
    // SC_MOVE with the caption hit code: Windows moves the window until the button is released.
    SendMessageW(reinterpret_cast<HWND>(window->winId()), WM_SYSCOMMAND, SC_MOVE + HTCAPTION, 0);
    return true;
}
