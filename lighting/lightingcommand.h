// The lighting command (0xA1) and the lighting state read back from the mouse (reply to 0xA0).
#ifndef LIGHTINGCOMMAND_H
#define LIGHTINGCOMMAND_H

#include <QColor>
#include <QtGlobal>

#include <optional>

// Ids of the lighting page's mode buttons; the id is the byte sent to the mouse. There is no id 5.
enum LightingMode {
    Off = 0,
    Steady = 1,
    Breathing = 2,
    Cycle = 3,
    Shooting = 4,
    Frenzy = 6
};

constexpr int MinLightingSpeed = 1;
constexpr int MaxLightingSpeed = 8;

// Which of the page's controls a mode uses.
struct ModeControls
{
    bool speed;
    bool colour;
};

// The controls of a mode button id; nothing for ids that are not modes (the page then leaves them as they are).
std::optional<ModeControls> controlsForMode(int mode);

// Writes bytes 0..8 of the lighting command into `buffer` and leaves every later byte as it is.
void fillLightingCommand(quint8 *buffer, int mode, int speed, const QColor &colour);

// What the page shows of a lighting reply.
struct LightingState
{
    int modeByte;      // raw, may be any value
    int modeButton;    // the button to check: the mode, or Frenzy for anything above Shooting
    std::optional<int> speed;   // only when 1..8
    QColor colour;
};

LightingState lightingStateOf(const quint8 *reply);

#endif
