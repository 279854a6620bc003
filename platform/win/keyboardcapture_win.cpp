#include "platform/keyboardcapture.h"

#include <QVector>

#include <windows.h>

namespace {

// A low-level hook procedure gets no context; the newest capture is the one whose hook the system calls
// first, and it swallows every key, so it is the only one that sees them.
QVector<KeyboardCapture *> activeCaptures;

LRESULT CALLBACK captureKeyboardHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode < 0)
        return CallNextHookEx(nullptr, nCode, wParam, lParam);
    if (nCode == HC_ACTION && !activeCaptures.isEmpty()) {
        const auto *info = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        emit activeCaptures.last()->keyMessage(unsigned(wParam), quint8(info->vkCode));
    }
    return 1;
}

} // namespace

bool KeyboardCapture::startPlatform()
{
    hook = SetWindowsHookExW(WH_KEYBOARD_LL, captureKeyboardHook, GetModuleHandleW(nullptr), 0);
    if (!hook)
        return false;
    activeCaptures.append(this);
    return true;
}

void KeyboardCapture::stopPlatform()
{
    if (!hook)
        return;
    activeCaptures.removeAll(this);
    UnhookWindowsHookEx(static_cast<HHOOK>(hook));
    hook = nullptr;
}

bool KeyboardCapture::eventFilter(QObject *watched, QEvent *event)
{
    return QObject::eventFilter(watched, event);
}
