// The program's image of the mouse's settings: the raw reply of each settings query, byte for byte.
#ifndef DEVICESETTINGS_H
#define DEVICESETTINGS_H

#include <QtGlobal>

struct DeviceSettings
{
    DeviceSettings();

    quint8 lighting[32];       // reply to 0xA0: [4] mode, [5] speed, [8..10] red, green, blue
    quint8 dpi[32];            // reply to 0xC2: [3..7] level values, [8] current level, [9] aim, [10] highest level
    quint8 reportRate[32];     // reply to 0xC4: [3] report-rate code
    quint8 firmwareInfo[64];   // reply to 0xD0: [3..5] major, minor, patch
    quint8 currentDpiLevel;
};

extern DeviceSettings deviceSettings;

// True when the lighting, DPI and report-rate blocks of `a` and `b` hold the same bytes.
bool sameSettingsBlocks(const DeviceSettings &a, const DeviceSettings &b);

// The firmware version as (major << 16) | (minor << 8) | patch, published by the GUI thread after every version
// query so that the update worker can read it without touching `firmwareInfo`.
void publishFirmwareVersion(const DeviceSettings &settings);
quint32 publishedFirmwareVersion();

#endif
