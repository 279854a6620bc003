// The effect-speed slider 1..8 with step marks and a value label that follows the handle.
#ifndef SPEEDSLIDER_H
#define SPEEDSLIDER_H

#include <QSlider>

class QLabel;

class SpeedSlider : public QSlider
{
    Q_OBJECT

public:
    explicit SpeedSlider(QWidget *parent = nullptr);

    QLabel *valueLabel() const { return label; }

public slots:
    void move_value(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *label;
};

#endif
