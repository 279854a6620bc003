#include "lighting/hsvimage.h"

#include <QVector>
#include <QtMath>

namespace {

constexpr qint64 Full = 65535;
constexpr qint64 SectorSize = 6000;   // hundredths of a degree in one sixth of the circle

qint64 roundedDivision(qint64 numerator, qint64 denominator)
{
    return (numerator + denominator / 2) / denominator;
}

int to16(double fraction)
{
    return qRound(fraction * double(Full));
}

// The three ramps of one hue sector at one saturation and value, all 0..65535.
struct Ramps
{
    qint64 top;      // the value itself
    qint64 bottom;   // value × (1 − s)
    qint64 falling;  // value × (1 − s·f)
    qint64 rising;   // value × (1 − s·(1 − f))
};

Ramps rampsOf(qint64 fraction, qint64 saturation, qint64 value)
{
    constexpr qint64 scale = Full * SectorSize;
    return {
        value,
        roundedDivision(value * (Full - saturation), Full),
        roundedDivision(value * (scale - saturation * fraction), scale),
        roundedDivision(value * (scale - saturation * (SectorSize - fraction)), scale),
    };
}

QRgb compose(int sector, const Ramps &r)
{
    qint64 red, green, blue;
    switch (sector) {
    case 0: red = r.top; green = r.rising; blue = r.bottom; break;
    case 1: red = r.falling; green = r.top; blue = r.bottom; break;
    case 2: red = r.bottom; green = r.top; blue = r.rising; break;
    case 3: red = r.bottom; green = r.falling; blue = r.top; break;
    case 4: red = r.rising; green = r.bottom; blue = r.top; break;
    default: red = r.top; green = r.bottom; blue = r.falling; break;
    }
    // QColor keeps 16 bits per channel and hands out their high byte.
    return qRgb(int(red >> 8), int(green >> 8), int(blue >> 8));
}

} // namespace

QRgb hsvToRgb(int hueCentidegrees, int saturation, int value)
{
    const int hue = hueCentidegrees % 36000;
    return compose(hue / int(SectorSize), rampsOf(hue % SectorSize, saturation, value));
}

int hueCentidegrees(double hue)
{
    return qRound(qBound(0.0, hue, 1.0) * 36000) % 36000;
}

QImage saturationValueImage(double hue, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int centidegrees = hueCentidegrees(hue);
    const int sector = centidegrees / int(SectorSize);
    const qint64 fraction = centidegrees % SectorSize;

    QVector<int> saturations(size.width());
    for (int i = 0; i < size.width(); ++i)
        saturations[i] = to16(double(i) / size.width());

    for (int j = 0; j < size.height(); ++j) {
        const qint64 value = to16(1.0 - double(j) / size.height());
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(j));
        for (int i = 0; i < size.width(); ++i)
            line[i] = compose(sector, rampsOf(fraction, saturations[i], value));
    }
    return image;
}

QImage hueBandImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    for (int i = 0; i < size.width(); ++i) {
        const QRgb colour = hsvToRgb(hueCentidegrees(double(i) / size.width()), int(Full), int(Full));
        for (int j = 0; j < size.height(); ++j)
            reinterpret_cast<QRgb *>(image.scanLine(j))[i] = colour;
    }
    return image;
}
