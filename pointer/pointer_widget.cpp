#include "pointer/pointer_widget.h"

#include "device/devicesettings.h"

#include <QDebug>

pointer_Widget::pointer_Widget(QWidget *parent)
    : QWidget(parent)
{
}

void pointer_Widget::showDeviceDpi(const DeviceSettings &settings)
{
    Q_UNUSED(settings);
    qDebug() << "update DPI";
}

void pointer_Widget::showCurrentLevel(quint8 level)
{
    Q_UNUSED(level);
}
