// What the pictured mouse's light strip shows for a lighting setting, at any moment of its effect. No widgets and
// no clock of its own: the strip's widget gives it the time, and tests can too.
#ifndef LIGHTINGPREVIEW_H
#define LIGHTINGPREVIEW_H

#include <QColor>

class LightingPreview
{
public:
    // The strip switched off: a dark grey like the body around it.
    static const QColor unlit;
    // How often an animated strip is redrawn: 20 frames a second keep even the fastest breath smooth at about
    // 1 % of a core.
    static constexpr int FrameMs = 50;

    // One breath, or one turn of the colour wheel, at speeds 1..8 (other speeds are taken as the nearest).
    static int effectPeriodMs(int speed);

    // Mode ids as the lighting command sends them; an unknown id shows as steady. Returns whether the mode
    // changed, which restarts the effect.
    bool setLighting(int mode, int speed, const QColor &colour);
    int mode() const { return currentMode; }
    int speed() const { return currentSpeed; }
    QColor colour() const { return currentColour; }

    // False for the modes whose strip never changes (off and steady).
    bool animates() const;

    // Time since the effect started.
    void setElapsed(qint64 ms) { elapsedMs = ms; }
    qint64 elapsed() const { return elapsedMs; }

    // The strip at the current time: a light of `colour` at `strength` (0 unlit .. 1 full) over the unlit strip.
    struct Light
    {
        QColor colour;
        qreal strength = 0;

        bool operator==(const Light &other) const { return colour == other.colour && strength == other.strength; }
        bool operator!=(const Light &other) const { return !(*this == other); }
    };
    Light light() const;
    // The same as one opaque colour.
    QColor stripColour() const;

private:
    Light rawLight() const;

    int currentMode = 1;
    int currentSpeed = 4;
    QColor currentColour { 0, 255, 0 };
    qint64 elapsedMs = 0;
};

#endif
