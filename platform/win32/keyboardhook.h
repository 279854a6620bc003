// A system-wide low-level keyboard hook (WH_KEYBOARD_LL) that hands every key to a handler and swallows it.
// Needs only the standard library here and <windows.h> in its source.
#ifndef WIN32_KEYBOARDHOOK_H
#define WIN32_KEYBOARDHOOK_H

#include <cstdint>
#include <functional>

namespace Win32 {

// One key as the hook receives it: the message (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP) and the
// virtual-key code.
using KeyHandler = std::function<void(unsigned message, std::uint8_t vk)>;

// While installed, no window gets a key, this program's included. The system calls the hook on the installing
// thread through its message loop, so that thread must go on pumping messages; install, uninstall and destroy
// on that thread. Of several hooks installed on one thread the newest gets the keys.
class KeyboardHook
{
public:
    KeyboardHook() = default;
    KeyboardHook(const KeyboardHook &) = delete;
    KeyboardHook &operator=(const KeyboardHook &) = delete;
    ~KeyboardHook();

    // Installs the hook, replacing an earlier installation of this one. Returns false when the system refuses;
    // lastError() then holds its error code.
    bool install(KeyHandler handler);
    // May be called from the handler; the key being handled is still swallowed.
    void uninstall();
    bool isInstalled() const { return handle != nullptr; }
    unsigned long lastError() const { return error; }

private:
    void *handle = nullptr;
    unsigned long error = 0;
};

} // namespace Win32

#endif
