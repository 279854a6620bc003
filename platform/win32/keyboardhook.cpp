#include "platform/win32/keyboardhook.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct InstalledHook
{
    const Win32::KeyboardHook *owner;
    std::shared_ptr<const Win32::KeyHandler> handler;
};

// The hook procedure gets no context. The system calls the newest hook first and ours swallow every key, so
// the newest installation is the one to hand the key to. Hooks are called on the thread that installed them.
thread_local std::vector<InstalledHook> installedHooks;

LRESULT CALLBACK keyboardProcedure(int code, WPARAM message, LPARAM info)
{
    // Negative codes must go on to the next hook, as must anything arriving after the last uninstall.
    if (code != HC_ACTION || installedHooks.empty())
        return CallNextHookEx(nullptr, code, message, info);
    const auto *key = reinterpret_cast<const KBDLLHOOKSTRUCT *>(info);
    // A copy: the handler may uninstall its hook, or destroy it, while it runs.
    const std::shared_ptr<const Win32::KeyHandler> handler = installedHooks.back().handler;
    (*handler)(unsigned(message), std::uint8_t(key->vkCode));
    return 1;
}

} // namespace

namespace Win32 {

KeyboardHook::~KeyboardHook()
{
    uninstall();
}

bool KeyboardHook::install(KeyHandler handler)
{
    uninstall();
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProcedure, GetModuleHandleW(nullptr), 0);
    if (!hook) {
        error = GetLastError();
        return false;
    }
    handle = hook;
    error = 0;
    installedHooks.push_back({ this, std::make_shared<const KeyHandler>(std::move(handler)) });
    return true;
}

void KeyboardHook::uninstall()
{
    if (!handle)
        return;
    installedHooks.erase(std::remove_if(installedHooks.begin(), installedHooks.end(),
                                        [this](const InstalledHook &hook) { return hook.owner == this; }),
                         installedHooks.end());
    if (!UnhookWindowsHookEx(static_cast<HHOOK>(handle)))
        error = GetLastError();
    handle = nullptr;
}

} // namespace Win32
