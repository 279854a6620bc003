#include "lighting/lightstripview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

namespace {

const QString MaskImage = QStringLiteral(":/img/mouse_strip");
const QString DoubleMaskImage = QStringLiteral(":/img/mouse_strip@2x");

QImage premultiplied(const QString &name)
{
    return QImage(name).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The smallest rectangle holding every pixel that is not fully transparent.
QRect opaqueBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace

LightStripView::LightStripView(QWidget *picture)
    : QWidget(picture)
{
    setObjectName(QStringLiteral("lightStrip"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The mask has the picture's size; the view keeps only the part with the strip on it.
    const QImage whole = premultiplied(MaskImage);
    const QRect bounds = opaqueBounds(whole);
    mask = whole.copy(bounds);
    setGeometry(bounds);
    clock.start();
}

void LightStripView::setLighting(int mode, int speed, const QColor &colour)
{
    if (state.setLighting(mode, speed, colour)) {
        clock.restart();
        state.setElapsed(0);
    }
    runWhileShown();
    if (state.stripColour() != tintedColour)
        update();
}

void LightStripView::showElapsed(qint64 ms)
{
    state.setElapsed(ms);
    if (state.stripColour() != tintedColour)
        update();
}

const QImage &LightStripView::maskFor(qreal pixelRatio)
{
    if (pixelRatio <= 1)
        return mask;
    if (doubleMask.isNull()) {
        doubleMask = premultiplied(DoubleMaskImage).copy(QRect(geometry().topLeft() * 2, size() * 2));
        doubleMask.setDevicePixelRatio(2);
    }
    return doubleMask;
}

void LightStripView::paintEvent(QPaintEvent *)
{
    const QImage &alpha = maskFor(devicePixelRatioF());
    const QColor colour = state.stripColour();
    if (colour != tintedColour || tinted.size() != alpha.size()) {
        if (tinted.size() != alpha.size())
            tinted = QImage(alpha.size(), QImage::Format_ARGB32_Premultiplied);
        tinted.setDevicePixelRatio(alpha.devicePixelRatio());
        tinted.fill(colour);
        QPainter tint(&tinted);
        tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        tint.drawImage(0, 0, alpha);
        tintedColour = colour;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, tinted);
}

void LightStripView::showEvent(QShowEvent *event)
{
    shown = true;
    clock.restart();
    state.setElapsed(0);
    runWhileShown();
    QWidget::showEvent(event);
}

void LightStripView::hideEvent(QHideEvent *event)
{
    shown = false;
    frameTimer.stop();
    QWidget::hideEvent(event);
}

void LightStripView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != frameTimer.timerId())
        return QWidget::timerEvent(event);
    showElapsed(clock.elapsed());
}

void LightStripView::runWhileShown()
{
    if (shown && state.animates()) {
        if (!frameTimer.isActive())
            frameTimer.start(LightingPreview::FrameMs, this);
    } else {
        frameTimer.stop();
    }
}
