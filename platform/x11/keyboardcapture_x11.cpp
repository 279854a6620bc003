#include "platform/keyboardcapture.h"

#include "platform/keymessages.h"
#include "platform/x11/xkeycodes.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWindow>

namespace {

// X sends a held key's repeats as a release and a press with one time stamp, back to back; the press is
// in well before this.
constexpr int RepeatWindowMs = 15;

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QWindow *windowOf(QWidget *widget)
{
    return widget ? widget->window()->windowHandle() : nullptr;
}

} // namespace

bool KeyboardCapture::startPlatform()
{
    if (!releaseTimer) {
        releaseTimer = new QTimer(this);
        releaseTimer->setSingleShot(true);
        releaseTimer->setInterval(RepeatWindowMs);
        connect(releaseTimer, &QTimer::timeout, this, &KeyboardCapture::releaseHeldKey);
    }
    // Every key the program receives, whichever widget it is meant for, goes to the capture.
    qApp->installEventFilter(this);
    QWindow *window = windowOf(target);
    return onX11() && window && window->setKeyboardGrabEnabled(true);
}

void KeyboardCapture::stopPlatform()
{
    releaseHeldKey();
    qApp->removeEventFilter(this);
    if (!keptFromOthers)
        return;
    if (QWindow *window = windowOf(target))
        window->setKeyboardGrabEnabled(false);
    // An open pop-up (the button dialog) holds a grab of its own, which the release above ended.
    if (QWindow *popup = windowOf(QApplication::activePopupWidget()))
        popup->setKeyboardGrabEnabled(true);
}

void KeyboardCapture::releaseHeldKey()
{
    releaseTimer->stop();
    if (heldKeycode == 0)
        return;
    const quint8 vk = virtualKeyOfXKeycode(heldKeycode);
    heldKeycode = 0;
    emit keyMessage(KeyMessage::KeyUp, vk);
}

bool KeyboardCapture::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepted overrides keep the program's own shortcuts from firing.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const quint32 keycode = key->nativeScanCode();
        if (key->isAutoRepeat() || virtualKeyOfXKeycode(keycode) == 0)
            return true;
        const bool press = event->type() == QEvent::KeyPress;
        if (press && heldKeycode == keycode && heldTime == key->timestamp()) {
            heldKeycode = 0;
            releaseTimer->stop();
            return true;
        }
        releaseHeldKey();
        if (press) {
            emit keyMessage(KeyMessage::KeyDown, virtualKeyOfXKeycode(keycode));
        } else {
            heldKeycode = keycode;
            heldTime = key->timestamp();
            releaseTimer->start();
        }
        return true;
    }
    case QEvent::ContextMenu:
        // The Menu key is a key to record; its menu would take the focus and end the capture.
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
