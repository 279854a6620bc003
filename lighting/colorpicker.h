// The colour picker: a saturation/value square for the current hue with a marker, and a hue slider below it.
#ifndef COLORPICKER_H
#define COLORPICKER_H

#include <QColor>
#include <QImage>
#include <QSlider>
#include <QWidget>

// Horizontal hue slider 0..359 painted as a rainbow band with a pin. A press puts the pin under the pointer.
class QHueSlider : public QSlider
{
    Q_OBJECT

public:
    explicit QHueSlider(QWidget *parent = nullptr);

signals:
    void slider_pressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QImage bandImage;
};

class color_picker_Square : public QWidget
{
    Q_OBJECT

public:
    // The colour field: widget x 6..185 and y 6..111; the marker's centre may reach x 186 and y 112.
    static constexpr int FieldLeft = 6;
    static constexpr int FieldTop = 6;
    static constexpr int FieldWidth = 180;
    static constexpr int FieldHeight = 106;

    explicit color_picker_Square(QWidget *parent = nullptr);

    QColor currentColor() const { return color; }
    double currentHue() const { return hue; }
    QPoint marker() const { return QPoint(markerX, markerY); }
    QHueSlider *slider() const { return hueSlider; }
    // How many times the square's image has been built (it is kept between paints).
    int imageBuilds() const { return squareImageBuilds; }

signals:
    void color_selected();

public slots:
    void setHue(int h);
    void setColor(QColor set_color);
    void qsliderRelease();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor colorAt(int x, int y) const;

    double hue = 0;
    QColor color;
    quint16 markerX;
    quint16 markerY;
    QHueSlider *hueSlider;
    QImage squareImage;
    double squareImageHue = -1;
    int squareImageBuilds = 0;
};

#endif
