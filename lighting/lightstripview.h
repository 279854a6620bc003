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
// body. A frame is drawn only when the strip is due to change and a pixel of it would; the effect runs only while
// the view is shown on screen: a hidden page, a window in the tray or minimised stops it.
class LightStripView : public QWidget
{
    Q_OBJECT

public:
    explicit LightStripView(QWidget *picture);

    void setLighting(int mode, int speed, const QColor &colour);
    // Shows the effect as it is `ms` after it started; the running effect calls this with its own clock.
    void showElapsed(qint64 ms);

    bool isAnimating() const { return frameTimer.isActive(); }
    // The strip's rectangle on the picture (reads the mask the first time).
    QRect area();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    // A light's strength in the steps of opacity that QPainter draws with: strengths of one step give the same
    // pixels, so a frame that stays within a step is not drawn.
    static constexpr int FullLevel = 256;
    static int levelOf(qreal strength) { return qBound(0, int(strength * FullLevel), FullLevel); }

    // What a frame shows, as far as its pixels go.
    struct Look
    {
        QColor colour;
        int level = -1;

        bool operator==(const Look &other) const { return level == other.level && colour == other.colour; }
        bool operator!=(const Look &other) const { return !(*this == other); }
    };
    Look currentLook() const;
    void repaintIfChanged();
    // Sets the timer for the next change of the strip while the view is shown, or stops it.
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
    Look painted;
    QBasicTimer frameTimer;
    qint64 dueMs = -1;   // when, on `clock`, the timer's frame is due
    QElapsedTimer clock;
    bool shown = false;
};

#endif
