#ifndef LEDS_WIDGET_H
#define LEDS_WIDGET_H

#include <QWidget>

struct DeviceSettings;

// The lighting page: mode, speed and colour of the mouse's lights.
class leds_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit leds_Widget(QWidget *parent = nullptr);

    // Shows the lighting state read from the mouse without sending anything back.
    void showDeviceLighting(const DeviceSettings &settings);
};

#endif
