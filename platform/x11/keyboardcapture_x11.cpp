#include "platform/keyboardcapture.h"

#include "platform/keymessages.h"
#include "platform/x11/xkeycodes.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWindow>

namespace {

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
    // Every key the program receives, whichever widget it is meant for, goes to the capture.
    qApp->installEventFilter(this);
    QWindow *window = windowOf(target);
    return onX11() && window && window->setKeyboardGrabEnabled(true);
}

void KeyboardCapture::stopPlatform()
{
    qApp->removeEventFilter(this);
    if (!keptFromOthers)
        return;
    if (QWindow *window = windowOf(target))
        window->setKeyboardGrabEnabled(false);
    // An open pop-up (the button dialog) holds a grab of its own, which the release above ended.
    if (QWindow *popup = windowOf(QApplication::activePopupWidget()))
        popup->setKeyboardGrabEnabled(true);
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
        // X repeats a held key as release-and-press pairs; the hook would have seen nothing new.
        if (key->isAutoRepeat())
            return true;
        const quint8 vk = virtualKeyOfXKeycode(key->nativeScanCode());
        if (vk != 0) {
            emit keyMessage(event->type() == QEvent::KeyPress ? KeyMessage::KeyDown : KeyMessage::KeyUp, vk);
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
