// What the pictured mouse's light strip shows for a lighting setting, at any moment of its effect. No widgets and
// no clock of its own: whoever draws the strip gives it the time.
#ifndef LIGHTINGPREVIEW_H
#define LIGHTINGPREVIEW_H

#include <QColor>

class LightingPreview
{
public:
    // The strip switched off: a dark grey like the body around it.
    static const QColor unlit;
    // How often a gradual change (a breath, the colour wheel, a shot fading) is redrawn. Each frame costs the window
    // about 0.7 ms whatever is drawn (Qt clears, redraws and sends the strip's rectangle of the translucent window),
    // so ten frames a second keep an animated strip under 1 % of a core.
    static constexpr int RampFrameMs = 100;

    // Mode ids as the lighting command sends them; an unknown id shows as steady. Returns whether the mode
    // changed, which restarts the effect.
    bool setLighting(int mode, int speed, const QColor &colour);

    // False for the modes whose strip never changes (off and steady).
    bool animates() const;

    // Time since the effect started.
    void setElapsed(qint64 ms) { elapsedMs = ms; }
    // When, counted from the effect's start, the strip next shows something else: the next frame of a gradual
    // change, or the next step of a sudden one (a shot, a frenzy flash). -1 for a strip that never changes.
    qint64 nextChangeMs() const;

    // The strip at the current time: a light of `colour` at `strength` (0 unlit .. 1 full) over the unlit strip.
    struct Light
    {
        QColor colour;
        qreal strength = 0;

        bool operator==(const Light &other) const { return colour == other.colour && strength == other.strength; }
        bool operator!=(const Light &other) const { return !(*this == other); }
    };
    Light light() const;

private:
    Light rawLight() const;

    int currentMode = 1;
    int currentSpeed = 4;
    QColor currentColour { 0, 255, 0 };
    qint64 elapsedMs = 0;
};

#endif
