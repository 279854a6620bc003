// X key codes (evdev codes + 8, as X servers and Wayland compositors number the keys) to the Windows virtual-key
// codes of the same keys on a US keyboard. The key's position decides, not the keymap: Shift, the layout and
// the modifiers' keysyms change nothing, and left and right modifiers stay apart.
#ifndef XKEYCODES_H
#define XKEYCODES_H

#include <QtGlobal>

// 0 for keys without a virtual-key code.
quint8 virtualKeyOfXKeycode(quint32 keycode);

#endif
