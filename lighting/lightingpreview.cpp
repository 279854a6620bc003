#include "lighting/lightingpreview.h"

#include "lighting/lightingcommand.h"

#include <QtMath>

namespace {

// Length of one effect cycle at speeds 1..8, in milliseconds: a whole breath, or one turn of the colour wheel.
constexpr int EffectPeriodMs[MaxLightingSpeed] = { 4000, 3500, 3000, 2500, 2000, 1500, 1000, 500 };

// The modes without a speed have fixed timing: a shot is a flash at full strength that dies away, then a pause;
// frenzy alternates short flashes and darkness, each flash in another colour.
constexpr int ShotPeriodMs = 600;
constexpr int ShotFullMs = 60;
constexpr int ShotFadeMs = 200;
constexpr int FrenzyFlashMs = 90;
// Degrees of hue between two frenzy flashes: close to the golden angle, so that neighbours differ clearly.
constexpr int FrenzyHueStep = 137;

// The first multiple of `step`, counted from `origin`, after `t`.
qint64 nextStep(qint64 t, qint64 origin, qint64 step)
{
    return origin + ((t - origin) / step + 1) * step;
}

// One breath, or one turn of the colour wheel; speeds outside 1..8 are taken as the nearest.
int effectPeriodMs(int speed)
{
    return EffectPeriodMs[qBound(MinLightingSpeed, speed, MaxLightingSpeed) - 1];
}

} // namespace

const QColor LightingPreview::unlit { 0x1a, 0x1c, 0x20 };

bool LightingPreview::setLighting(int mode, int speed, const QColor &colour)
{
    const bool modeChanged = mode != currentMode;
    currentMode = mode;
    currentSpeed = speed;
    currentColour = colour.isValid() ? colour.toRgb() : QColor(0, 0, 0);
    currentColour.setAlpha(255);
    return modeChanged;
}

bool LightingPreview::animates() const
{
    return currentMode == Breathing || currentMode == Cycle || currentMode == Shooting || currentMode == Frenzy;
}

LightingPreview::Light LightingPreview::light() const
{
    const Light now = rawLight();
    // Unlit is unlit whatever the colour, so that an unlit strip never needs redrawing for a colour.
    return now.strength > 0 ? now : Light { unlit, 0 };
}

qint64 LightingPreview::nextChangeMs() const
{
    const qint64 t = qMax<qint64>(0, elapsedMs);
    switch (currentMode) {
    case Breathing:
    case Cycle:
        return nextStep(t, 0, RampFrameMs);
    case Shooting: {
        const qint64 shot = t - t % ShotPeriodMs;
        const qint64 fadeStart = shot + ShotFullMs;
        const qint64 fadeEnd = fadeStart + ShotFadeMs;
        if (t < fadeStart)
            return fadeStart;
        if (t < fadeEnd)
            return qMin(nextStep(t, fadeStart, RampFrameMs), fadeEnd);
        return shot + ShotPeriodMs;
    }
    case Frenzy:
        return nextStep(t, 0, FrenzyFlashMs);
    default:
        return -1;
    }
}

LightingPreview::Light LightingPreview::rawLight() const
{
    const qint64 t = qMax<qint64>(0, elapsedMs);
    switch (currentMode) {
    case Off:
        return { unlit, 0 };
    case Breathing: {
        // Starts lit, so that a click on the mode shows the colour at once.
        const qreal phase = qreal(t % effectPeriodMs(currentSpeed)) / effectPeriodMs(currentSpeed);
        return { currentColour, (1 + qCos(2 * M_PI * phase)) / 2 };
    }
    case Cycle: {
        const int period = effectPeriodMs(currentSpeed);
        return { QColor::fromHsv(int(t % period * 360 / period), 255, 255), 1 };
    }
    case Shooting: {
        const qint64 sinceShot = t % ShotPeriodMs;
        if (sinceShot < ShotFullMs)
            return { currentColour, 1 };
        const qreal left = qMax<qreal>(0, 1 - qreal(sinceShot - ShotFullMs) / ShotFadeMs);
        return { currentColour, left * left };
    }
    case Frenzy: {
        const qint64 flash = t / FrenzyFlashMs;
        return { QColor::fromHsv(int(flash / 2 * FrenzyHueStep % 360), 255, 255), flash % 2 ? 0.0 : 1.0 };
    }
    default:
        return { currentColour, 1 };
    }
}
