#include "platform/keyboardcapture.h"

KeyboardCapture::KeyboardCapture(QObject *parent)
    : QObject(parent)
{
}

KeyboardCapture::~KeyboardCapture()
{
    stop();
}

bool KeyboardCapture::start(QWidget *widget)
{
    stop();
    target = widget;
    active = true;
    keptFromOthers = startPlatform();
    return keptFromOthers;
}

void KeyboardCapture::stop()
{
    if (!active)
        return;
    stopPlatform();
    active = false;
    keptFromOthers = false;
    target.clear();
}
