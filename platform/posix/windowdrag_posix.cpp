#include "platform/windowdrag.h"

#include <QWidget>
#include <QWindow>

bool startSystemWindowMove(QWidget *window)
{
    QWindow *handle = window->windowHandle();
    return handle && handle->startSystemMove();
}
