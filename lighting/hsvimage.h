// Gradient images of the colour picker, built with integer arithmetic.
#ifndef HSVIMAGE_H
#define HSVIMAGE_H

#include <QImage>
#include <QRgb>
#include <QSize>

// HSV to RGB as QColor does it, in integers: hue in hundredths of a degree (0..35999), saturation and value
// 0..65535. Matches QColor::fromHsv*() to within one step per channel.
QRgb hsvToRgb(int hueCentidegrees, int saturation, int value);

// Hue 0..1 (1 is the same as 0) in hundredths of a degree, rounded as QColor rounds it.
int hueCentidegrees(double hue);

// A 32-bit RGB image whose pixel (i, j) has the given hue, saturation i / width and value 1 - j / height.
QImage saturationValueImage(double hue, QSize size);
// A 32-bit RGB image whose column i has hue i / width, full saturation and value.
QImage hueBandImage(QSize size);

#endif
