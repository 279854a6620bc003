#include "profile/mouseprofile.h"

#include "device/devicesettings.h"
#include "lighting/lightingcommand.h"

ButtonProfile ButtonProfile::fromAssignment(quint8 button, const ButtonAssignment &assignment)
{
    ButtonProfile profile;
    profile.button = button;
    profile.funcType = assignment.funcType;
    profile.funcId = assignment.funcId;
    if (profile.isCustomCombination()) {
        profile.modifiers = assignment.param;
        profile.keyUsage = assignment.key;
    } else if (profile.funcType == FuncType::Macro) {
        // The page reads any non-zero flag as "with delays"; the file keeps it as a yes or no.
        profile.funcId = assignment.funcId != 0 ? 1 : 0;
    }
    return profile;
}

bool ButtonProfile::operator==(const ButtonProfile &other) const
{
    return button == other.button && funcType == other.funcType && funcId == other.funcId
        && modifiers == other.modifiers && keyUsage == other.keyUsage && events == other.events;
}

void MouseProfile::takeSettings(const DeviceSettings &settings)
{
    // The mode as the lighting page shows it; the speed raw, so that a value the page would skip is refused.
    const LightingState lighting = lightingStateOf(settings.lighting);
    lightingMode = lighting.modeButton;
    lightingSpeed = settings.lighting[5];
    red = quint8(lighting.colour.red());
    green = quint8(lighting.colour.green());
    blue = quint8(lighting.colour.blue());

    for (int i = 0; i < Dpi::LevelCount; ++i)
        dpiLevels[size_t(i)] = settings.dpi[3 + i];
    currentLevel = settings.dpi[8];
    aim = settings.dpi[9];
    levelCount = settings.dpi[10] + 1;
    reportRateCode = settings.reportRate[3];

    firmware = QStringLiteral("%1.%2.%3")
                   .arg(settings.firmwareInfo[3])
                   .arg(settings.firmwareInfo[4])
                   .arg(settings.firmwareInfo[5]);
}
