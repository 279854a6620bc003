#include "platform/keyboardcapture.h"

#include <QDebug>

bool KeyboardCapture::startPlatform()
{
    const bool installed = hook.install([this](unsigned message, std::uint8_t vk) { emit keyMessage(message, vk); });
    if (!installed)
        qDebug() << "keyboard hook refused:" << hook.lastError();
    return installed;
}

void KeyboardCapture::stopPlatform()
{
    hook.uninstall();
}

bool KeyboardCapture::eventFilter(QObject *watched, QEvent *event)
{
    return QObject::eventFilter(watched, event);
}
