// A round colour swatch that can be checked.
#ifndef COLORBTN_H
#define COLORBTN_H

#include <QColor>
#include <QPushButton>

class ColorBtn : public QPushButton
{
    Q_OBJECT

public:
    enum HoverState { Normal = 0, Hovered = 1, Pressed = 2 };

    explicit ColorBtn(QWidget *parent = nullptr);

    QColor btnColor() const { return color; }
    int hover() const { return hoverState; }

public slots:
    void setBtnColor(QColor s_color);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setHoverState(int state);

    int hoverState = Normal;
    bool leftPressed = false;
    QColor color;
};

#endif
