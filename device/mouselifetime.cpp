#include "device/mouselifetime.h"

namespace {

using Action = DeviceChangeAction;

// Rows in the order of MouseState. While opening, the mouse's name is not known yet, so every change waits; while
// closing, an arrival waits for the close, which a removal cannot hasten.
// clang-format off
constexpr Action actions[4][3] = {
    //              arrival            removal of the mouse   removal of another device
    /* Closed  */ { Action::OpenMouse, Action::Ignore,        Action::Ignore },
    /* Opening */ { Action::Hold,      Action::Hold,          Action::Hold },
    /* Open    */ { Action::Ignore,    Action::CloseMouse,    Action::Ignore },
    /* Closing */ { Action::Hold,      Action::Ignore,        Action::Ignore },
};
// clang-format on

}   // namespace

DeviceChangeAction deviceChangeAction(const DeviceChange &change, MouseState state, bool namesOpenMouse)
{
    if (change.deviceType != DeviceBroadcast::InterfaceType)
        return Action::Ignore;
    const int column = change.kind == DeviceChange::Arrival ? 0 : namesOpenMouse ? 1 : 2;
    return actions[int(state)][column];
}
