#include "lighting/colorpicker.h"

#include "lighting/hsvimage.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor disabledColour(255, 255, 255, 36);

constexpr int BandLeft = 6;
constexpr int BandTop = 13;
constexpr int BandWidth = 180;
constexpr int BandHeight = 20;

int nearestPixel(qreal coordinate)
{
    return qRound(coordinate);
}

// `cached`, rebuilt by `build` at `size` times the screen's `ratio` when it was built for another screen.
const QImage &deviceImage(QImage &cached, QSize size, qreal ratio, QImage (*build)(QSize))
{
    if (cached.isNull() || cached.devicePixelRatio() != ratio) {
        cached = build(size * ratio);
        cached.setDevicePixelRatio(ratio);
    }
    return cached;
}

} // namespace

QHueSlider::QHueSlider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 359);
    // Keys and the wheel do not move it; without the focus it cannot take Home and End either.
    setSingleStep(0);
    setPageStep(0);
    setFocusPolicy(Qt::NoFocus);
}

void QHueSlider::mousePressEvent(QMouseEvent *event)
{
    QSlider::mousePressEvent(event);
    // Band x 6 is hue 0 and each pixel adds two degrees; setValue clamps to 0..359.
    setValue(2 * nearestPixel(event->localPos().x()) - 12);
    emit slider_pressed();
}

void QHueSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double pin = value() / 360.0 * BandWidth + BandLeft;
    // Rounded by half its size both ways: an oval head.
    const QRectF head(int(pin - 5), 0, 10, 8);
    const QRectF stem(int(pin - 1), 8, 2, 4);
    const QRect band(BandLeft, BandTop, BandWidth, BandHeight);

    if (isEnabled()) {
        painter.setPen(Qt::NoPen);
        painter.drawImage(band, deviceImage(bandImage, band.size(), devicePixelRatioF(), hueBandImage));
        const QColor pinColour = QColor::fromHsvF(value() / 360.0, 1, 1);
        painter.setPen(QPen(pinColour, 1));
        painter.setBrush(pinColour);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(disabledColour);
        painter.drawRect(band);
    }
    painter.drawEllipse(head);
    painter.drawRect(stem);
}

color_picker_Square::color_picker_Square(QWidget *parent)
    : QWidget(parent)
    , color(0, 255, 0)
    , hueSlider(new QHueSlider(this))
{
    // Until the owner sets a colour, the marker stands where the initial colour lies.
    markerX = quint16(FieldLeft + FieldWidth);
    markerY = quint16(FieldTop);
    hueSlider->setGeometry(0, 135, 192, 35);
    connect(hueSlider, &QSlider::valueChanged, this, &color_picker_Square::setHue);
    connect(hueSlider, &QSlider::sliderReleased, this, &color_picker_Square::qsliderRelease);
    connect(hueSlider, &QHueSlider::slider_pressed, this, &color_picker_Square::qsliderRelease);
}

void color_picker_Square::setHue(int h)
{
    // The slider's 359 is a full turn here, the same colour as 0.
    hue = qBound(0.0, h / 359.0, 1.0);
    update();
}

void color_picker_Square::setColor(QColor set_color)
{
    color = set_color;
    // An achromatic colour has hue -1, which the slider clamps to 0.
    hueSlider->setValue(set_color.hue());
    markerX = quint16(set_color.hsvSaturationF() * FieldWidth + FieldLeft);
    markerY = quint16((1 - set_color.valueF()) * FieldHeight + FieldTop);
    update();
}

void color_picker_Square::qsliderRelease()
{
    color = colorAt(markerX, markerY);
    emit color_selected();
}

QColor color_picker_Square::colorAt(int x, int y) const
{
    return QColor::fromHsvF(hue, double(x - FieldLeft) / FieldWidth, 1 - double(y - FieldTop) / FieldHeight, 1.0);
}

void color_picker_Square::mousePressEvent(QMouseEvent *event)
{
    const int x = nearestPixel(event->localPos().x());
    const int y = nearestPixel(event->localPos().y());
    if (x < FieldLeft || x > FieldLeft + FieldWidth || y < FieldTop || y > FieldTop + FieldHeight)
        return;
    markerX = quint16(x);
    markerY = quint16(y);
    color = colorAt(x, y);
    emit color_selected();
    update();
}

void color_picker_Square::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect field(FieldLeft, FieldTop, FieldWidth, FieldHeight);

    if (!isEnabled()) {
        painter.setPen(Qt::NoPen);
        painter.fillRect(field, disabledColour);
        return;
    }

    // Built at the screen's resolution, so that a scaled screen shows a fine gradient rather than blown-up pixels.
    const qreal ratio = devicePixelRatioF();
    if (squareImage.isNull() || squareImageHue != hue || squareImage.devicePixelRatio() != ratio) {
        squareImage = saturationValueImage(hue, field.size() * ratio);
        squareImage.setDevicePixelRatio(ratio);
        squareImageHue = hue;
        ++squareImageBuilds;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::NoBrush);
    painter.drawImage(field, squareImage);

    // The marker stands for the value it was placed at; exactly half is dark enough for white.
    const double markerValue = 1 - double(markerY - FieldTop) / FieldHeight;
    painter.setPen(QPen(markerValue > 0.5 ? Qt::black : Qt::white, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    // Corner radius a quarter of the size (Qt counts relative radii in halves of the size).
    painter.drawRoundedRect(QRectF(markerX - 6, markerY - 6, 12, 12), 50, 50, Qt::RelativeSize);
}
