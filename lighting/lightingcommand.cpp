#include "lighting/lightingcommand.h"

#include "device/deviceprotocol.h"

std::optional<ModeControls> controlsForMode(int mode)
{
    switch (mode) {
    case Off:
    case Frenzy:
        return ModeControls { false, false };
    case Steady:
    case Shooting:
        return ModeControls { false, true };
    case Breathing:
        return ModeControls { true, true };
    case Cycle:
        return ModeControls { true, false };
    default:
        return std::nullopt;
    }
}

void fillLightingCommand(quint8 *buffer, int mode, int speed, const QColor &colour)
{
    buffer[0] = DeviceCommand::SetLighting;
    buffer[1] = 0x00;
    buffer[2] = quint8(mode);
    buffer[3] = quint8(speed);
    // Fixed by the firmware's command layout; the program never varies it.
    buffer[4] = 0x08;
    buffer[5] = 0x00;
    buffer[6] = quint8(colour.red());
    buffer[7] = quint8(colour.green());
    buffer[8] = quint8(colour.blue());
}

LightingState lightingStateOf(const quint8 *reply)
{
    LightingState state;
    state.modeByte = reply[4];
    state.modeButton = state.modeByte > Shooting ? Frenzy : state.modeByte;
    if (reply[5] >= MinLightingSpeed && reply[5] <= MaxLightingSpeed)
        state.speed = reply[5];
    state.colour = QColor(reply[8], reply[9], reply[10]);
    return state;
}
