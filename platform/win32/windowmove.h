// Moving a frameless window with the mouse. Needs only <windows.h> and the standard library.
#ifndef WIN32_WINDOWMOVE_H
#define WIN32_WINDOWMOVE_H

#include <windows.h>

namespace Win32 {

// Hands the drag that the current mouse press starts to the system: releases the mouse capture, then sends the
// window WM_SYSCOMMAND with SC_MOVE and the caption hit code, and the system moves the window until the button
// is released. Returns false, sending nothing, when the capture cannot be released.
bool startWindowMove(HWND window);

} // namespace Win32

#endif
