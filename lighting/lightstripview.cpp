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

QRect LightStripView::area()
{
    loadMask();
    return geometry();
}

void LightStripView::setLighting(int mode, int speed, const QColor &colour)
{
    if (state.setLighting(mode, speed, colour)) {
        clock.restart();
        state.setElapsed(0);
    }
    runWhileShown();
    repaintIfChanged();
}

void LightStripView::showElapsed(qint64 ms)
{
    state.setElapsed(ms);
    repaintIfChanged();
}

LightStripView::Look LightStripView::currentLook() const
{
    const LightingPreview::Light light = state.light();
    const int level = levelOf(light.strength);
    // Unlit is unlit whatever the colour.
    return { level > 0 ? light.colour : LightingPreview::unlit, level };
}

void LightStripView::repaintIfChanged()
{
    if (currentLook() != painted)
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
    painted = currentLook();
    // Tinting costs more than drawing, so a light that only changes its strength (breathing, shooting) is the same
    // tinted strip drawn more or less opaque over the unlit one.
    QPainter painter(this);
    if (painted.level < FullLevel)
        painter.drawImage(0, 0, unlitStrip);
    if (painted.level > 0) {
        if (painted.colour != litColour || litStrip.size() != alpha.size()) {
            tint(litStrip, alpha, painted.colour);
            litColour = painted.colour;
        }
        painter.setOpacity(qreal(painted.level) / FullLevel);
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
    // A coarse timer may fire a little early: the frame is then the one it was set for, not a second one just before.
    showElapsed(qMax(clock.elapsed(), dueMs));
    runWhileShown();
}

void LightStripView::runWhileShown()
{
    dueMs = shown ? state.nextChangeMs() : -1;
    if (dueMs < 0) {
        frameTimer.stop();
        return;
    }
    frameTimer.start(int(qMax<qint64>(0, dueMs - clock.elapsed())), this);
}
