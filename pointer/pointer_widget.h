#ifndef POINTER_WIDGET_H
#define POINTER_WIDGET_H

#include <QWidget>

struct DeviceSettings;

// The pointer page: report rate, aim-key DPI and the DPI levels.
class pointer_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit pointer_Widget(QWidget *parent = nullptr);

    // Shows the DPI state and report rate read from the mouse without sending anything back.
    void showDeviceDpi(const DeviceSettings &settings);
    // Marks the level the mouse currently uses.
    void showCurrentLevel(quint8 level);
};

#endif
