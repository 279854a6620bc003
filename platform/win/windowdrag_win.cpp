#include "platform/windowdrag.h"

#include "platform/win32/windowmove.h"

#include <QWidget>

bool startSystemWindowMove(QWidget *window)
{
    return Win32::startWindowMove(reinterpret_cast<HWND>(window->winId()));
}
