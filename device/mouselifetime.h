// The mouse's lifetime on the window's side of the link: closed, opening, open, closing, and what a device change
// does in each state. A close always ends before the next open begins.
#ifndef MOUSELIFETIME_H
#define MOUSELIFETIME_H

#include "platform/devicechange.h"

enum class MouseState { Closed, Opening, Open, Closing };

enum class DeviceChangeAction {
    Ignore,
    OpenMouse,
    CloseMouse,
    Hold,   // handled again once the mouse is open or closed
};

// `namesOpenMouse`: the change's interface name is that of the open mouse.
DeviceChangeAction deviceChangeAction(const DeviceChange &change, MouseState state, bool namesOpenMouse);

#endif
