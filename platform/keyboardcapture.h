// Takes the whole keyboard for a while and reports each key as a Windows low-level keyboard hook sees it: the
// message (key down or up, plain or system) and the virtual-key code.
//
// Windows: a WH_KEYBOARD_LL hook that swallows every key before any window, this program's included, gets it.
// X11: an active keyboard grab on the target's window, so that no other client gets the keys, with the X key
// codes turned into virtual-key codes; auto-repeat (a release and a press with the same time stamp) is dropped
// and the Menu key opens no context menu.
// Elsewhere (Wayland, offscreen) only the keys that reach this program are taken.
#ifndef KEYBOARDCAPTURE_H
#define KEYBOARDCAPTURE_H

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#ifdef Q_OS_WIN
#include "platform/win32/keyboardhook.h"
#endif

class KeyboardCapture : public QObject
{
    Q_OBJECT

public:
    explicit KeyboardCapture(QObject *parent = nullptr);
    ~KeyboardCapture() override;

    // Starts (or restarts) taking the keys for `target`, the widget that has the focus. Returns whether other
    // programs are kept from the keys as well.
    bool start(QWidget *target);
    void stop();
    bool isActive() const { return active; }

signals:
    void keyMessage(unsigned message, quint8 vk);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool startPlatform();
    void stopPlatform();

    QPointer<QWidget> target;
    bool active = false;
    bool keptFromOthers = false;
#ifdef Q_OS_WIN
    Win32::KeyboardHook hook;
#else
    // A release is held back until it is clear that no repeated press of the same moment follows it.
    void releaseHeldKey();
    quint32 heldKeycode = 0;
    ulong heldTime = 0;
    QTimer *releaseTimer = nullptr;
#endif
};

#endif
