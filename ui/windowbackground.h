// The window's background: drawn rather than kept as a window-sized picture (3.4 MiB at 100 %, four times that
// at 200 %). Its lines are sharp at any scale.
#ifndef WINDOWBACKGROUND_H
#define WINDOWBACKGROUND_H

#include <QImage>
#include <QWidget>

class QPainter;

class WindowBackground : public QWidget
{
    Q_OBJECT

public:
    explicit WindowBackground(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void paintBackground(QPainter &painter, const QRect &dirty);

    QImage shading;
    QImage kept;   // what lies under `keptRect`, the last small repaint
    QRect keptRect;
};

#endif
