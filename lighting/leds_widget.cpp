#include "lighting/leds_widget.h"

#include "device/devicesettings.h"

#include <QDebug>

leds_Widget::leds_Widget(QWidget *parent)
    : QWidget(parent)
{
}

void leds_Widget::showDeviceLighting(const DeviceSettings &settings)
{
    Q_UNUSED(settings);
    qDebug() << "update LED ";
}
