#include "lighting/colorbtn.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor disabledColour(255, 255, 255, 36);

} // namespace

ColorBtn::ColorBtn(QWidget *parent)
    : QPushButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
}

void ColorBtn::setBtnColor(QColor s_color)
{
    color = s_color;
    // What a screen reader says of the swatch besides its name.
    setAccessibleDescription(color.isValid() ? color.name().toUpper() : QString());
    update();
}

void ColorBtn::setHoverState(int state)
{
    hoverState = state;
    update();
}

void ColorBtn::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    leftPressed = true;
    setHoverState(Pressed);
    QPushButton::mousePressEvent(event);
}

void ColorBtn::mouseReleaseEvent(QMouseEvent *event)
{
    if (!leftPressed)
        return;
    const QPoint position = event->localPos().toPoint();
    if (!QRect(0, 0, width(), height()).contains(position)) {
        // No click; the button must not stay down either, or it would look pressed to the base class.
        setDown(false);
        return;
    }
    leftPressed = false;
    setHoverState(Hovered);
    QPushButton::mouseReleaseEvent(event);
}

void ColorBtn::enterEvent(QEvent *)
{
    setHoverState(Hovered);
}

void ColorBtn::leaveEvent(QEvent *)
{
    setHoverState(Normal);
}

void ColorBtn::paintEvent(QPaintEvent *)
{
    // Corners rounded by half the size in both directions: circles on a square swatch.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect ring(0, 0, width(), height());
    const QRect inner(3, 3, width() - 6, height() - 6);
    const QRect whole(1, 1, width() - 2, height() - 2);

    if (isEnabled()) {
        painter.setPen(QPen(hasFocus() ? QColor(Qt::white) : color, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        if (isChecked() || hoverState != Normal || hasFocus()) {
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(ring);
            painter.setPen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            painter.setBrush(color);
            painter.drawEllipse(inner);
        } else {
            painter.setBrush(color);
            painter.drawEllipse(whole);
        }
        return;
    }

    if (isChecked()) {
        painter.setPen(QPen(disabledColour, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(ring);
        painter.setPen(Qt::NoPen);
        painter.setBrush(disabledColour);
        painter.drawEllipse(inner);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(disabledColour);
        painter.drawEllipse(whole);
    }
}
