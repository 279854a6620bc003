#include "lighting/lightstripview.h"

#include "style/style.h"

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

// Fills `target` with `colour` where `alpha` has something, as much as it has.
void tint(QImage &target, const QImage &alpha, const QColor &colour)
{
    if (target.size() != alpha.size())
        target = QImage(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(alpha.devicePixelRatio());
    target.fill(colour);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, alpha);
}

} // namespace

LightStripView::LightStripView(QWidget *picture)
    : QWidget(picture)
{
    setObjectName(QStringLiteral("lightStrip"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    clock.start();
}

void LightStripView::loadMask()
{
    if (!mask.isNull())
        return;
    // The mask has the picture's size; the view keeps only the part with the strip on it.
    const QImage whole = premultiplied(MaskImage);
    const QRect bounds = Style::opaqueBounds(whole);
    mask = whole.copy(bounds);
    setGeometry(bounds);
}

void LightStripView::setLighting(int mode, int speed, const QColor &colour)
{
    if (state.setLighting(mode, speed, colour)) {
        clock.restart();
        state.setElapsed(0);
    }
    runWhileShown();
    if (state.light() != painted)
        update();
}

void LightStripView::showElapsed(qint64 ms)
{
    state.setElapsed(ms);
    if (state.light() != painted)
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
    if (unlitStrip.size() != alpha.size())
        tint(unlitStrip, alpha, LightingPreview::unlit);
    painted = state.light();
    // Tinting costs far more than drawing, so a light that only changes its strength (breathing, shooting) is the
    // same tinted strip drawn more or less opaque over the unlit one.
    QPainter painter(this);
    if (painted.strength < 1)
        painter.drawImage(0, 0, unlitStrip);
    if (painted.strength > 0) {
        if (painted.colour != litColour || litStrip.size() != alpha.size()) {
            tint(litStrip, alpha, painted.colour);
            litColour = painted.colour;
        }
        painter.setOpacity(painted.strength);
        painter.drawImage(0, 0, litStrip);
    }
}

void LightStripView::showEvent(QShowEvent *event)
{
    // Only the lighting page shows the strip: its picture is decoded when that page first appears, not before
    // the window's first frame.
    loadMask();
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
