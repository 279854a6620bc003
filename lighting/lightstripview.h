// The light strip of the mouse picture, drawn over the picture in the colour and effect of a lighting setting.
#ifndef LIGHTSTRIPVIEW_H
#define LIGHTSTRIPVIEW_H

#include "lighting/lightingpreview.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

// A child of the top-view picture that covers only the strip's bounding rectangle, so that a frame of the effect
// repaints no more than that. Its mask, a picture of the strip, is tinted with the strip's colour and drawn over the
// body. The effect runs only while the view is shown on screen: a hidden page, a window in the tray or minimised
// stops it.
class LightStripView : public QWidget
{
    Q_OBJECT

public:
    explicit LightStripView(QWidget *picture);

    void setLighting(int mode, int speed, const QColor &colour);
    // Shows the effect as it is `ms` after it started; the running effect calls this with its own clock.
    void showElapsed(qint64 ms);

    bool isAnimating() const { return frameTimer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void runWhileShown();
    // Reads the mask and takes the strip's place on the picture, once.
    void loadMask();
    const QImage &maskFor(qreal pixelRatio);

    LightingPreview state;
    QImage mask;   // alpha of the strip, cut to its bounding rectangle; read when first shown
    QImage doubleMask;   // the same at twice the pixels, loaded on the first high-density paint
    QImage unlitStrip;   // the mask tinted in the unlit colour
    QImage litStrip;   // the mask tinted in `litColour`
    QColor litColour;
    LightingPreview::Light painted;
    QBasicTimer frameTimer;
    QElapsedTimer clock;
    bool shown = false;
};

#endif
