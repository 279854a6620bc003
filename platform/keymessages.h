// The key messages a Windows low-level keyboard hook receives, which the keyboard capture reports everywhere.
#ifndef KEYMESSAGES_H
#define KEYMESSAGES_H

namespace KeyMessage {
constexpr unsigned KeyDown = 0x0100;
constexpr unsigned KeyUp = 0x0101;
constexpr unsigned SysKeyDown = 0x0104;
constexpr unsigned SysKeyUp = 0x0105;
// Clearing this bit turns the system variants (keys with Alt, F10) into the plain ones.
constexpr unsigned SystemBit = 0x04;
} // namespace KeyMessage

#endif
