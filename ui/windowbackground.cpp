#include "ui/windowbackground.h"

#include "style/style.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr qreal CornerRadius = 8;
// The shading has no edges: kept at a quarter of the window's size and drawn enlarged, it looks the same.
constexpr qreal ShadingScale = 0.25;

QColor white(qreal alpha)
{
    return QColor::fromRgbF(1, 1, 1, alpha);
}

// Dark from top to bottom, lighter about the middle, with a faint green floor under the mouse.
QImage drawShading(const QSizeF &size)
{
    QImage shading((size * ShadingScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&shading);
    painter.scale(ShadingScale, ShadingScale);
    const QRectF area(QPointF(), size);
    QLinearGradient base(0, 0, 0, size.height());
    base.setColorAt(0, QColor(0x20, 0x22, 0x27));
    base.setColorAt(1, QColor(0x14, 0x15, 0x18));
    painter.fillRect(area, base);
    QRadialGradient glow(size.width() / 2, 360, 520);
    glow.setColorAt(0, white(0.045));
    glow.setColorAt(1, white(0));
    painter.fillRect(area, glow);

    // A circle flattened to an ellipse about y = 630.
    QColor floorColour = Style::accent;
    QRadialGradient floorGradient(size.width() / 2, 630, 420);
    floorColour.setAlphaF(0.07);
    floorGradient.setColorAt(0, floorColour);
    floorColour.setAlphaF(0);
    floorGradient.setColorAt(1, floorColour);
    QBrush floor(floorGradient);
    floor.setTransform(QTransform::fromTranslate(0, 630).scale(1, 0.12).translate(0, -630));
    painter.fillRect(QRectF(0, 560, size.width(), 140), floor);
    return shading;
}

} // namespace

WindowBackground::WindowBackground(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WindowBackground::paintEvent(QPaintEvent *event)
{
    const QRect dirty = event->rect();
    QPainter painter(this);
    // The light strip's frames repaint one small rectangle again and again: what lies under it is kept.
    if (dirty.width() * dirty.height() * 8 > width() * height()) {
        paintBackground(painter, dirty);
        return;
    }
    if (dirty != keptRect || kept.devicePixelRatio() != devicePixelRatioF()) {
        kept = QImage(dirty.size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
        kept.setDevicePixelRatio(devicePixelRatioF());
        kept.fill(Qt::transparent);
        QPainter keptPainter(&kept);
        keptPainter.translate(-dirty.topLeft());
        paintBackground(keptPainter, dirty);
        keptRect = dirty;
    }
    painter.drawImage(dirty.topLeft(), kept);
}

void WindowBackground::resizeEvent(QResizeEvent *event)
{
    shading = QImage();
    kept = QImage();
    keptRect = QRect();
    QWidget::resizeEvent(event);
}

void WindowBackground::paintBackground(QPainter &painter, const QRect &dirty)
{
    const QRectF area = rect();
    if (shading.isNull())
        shading = drawShading(area.size());
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // Only repaints that reach the rounded corners need them cut out.
    if (!area.adjusted(CornerRadius, 0, -CornerRadius, 0).contains(dirty)) {
        QPainterPath body;
        body.addRoundedRect(area, CornerRadius, CornerRadius);
        painter.setClipPath(body, Qt::IntersectClip);
    }
    painter.drawImage(area, shading, QRectF(QPointF(), area.size() * ShadingScale));
    painter.setClipping(false);

    // The title bar's lower edge, fading out to both sides, and the green mark at the top.
    QLinearGradient edge(0, 0, area.width(), 0);
    edge.setColorAt(0, white(0));
    edge.setColorAt(0.5, white(0.07));
    edge.setColorAt(1, white(0));
    painter.fillRect(QRectF(0, 80, area.width(), 1), edge);
    painter.fillRect(QRectF(area.width() / 2 - 40, -0.5, 80, 2), Style::accent);

    painter.setPen(QPen(white(0.07), 1));
    painter.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius, CornerRadius);
}
