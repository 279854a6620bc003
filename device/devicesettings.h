// The program's image of the mouse's settings: the raw reply of each settings query, byte for byte.
#ifndef DEVICESETTINGS_H
#define DEVICESETTINGS_H

#include <QMetaType>
#include <QtGlobal>

// The blocks of DeviceSettings, as flags: which ones a read got answers for.
namespace SettingsBlock {
constexpr int Lighting = 1;
constexpr int Dpi = 2;
constexpr int ReportRate = 4;
constexpr int Firmware = 8;
constexpr int AllSettings = Lighting | Dpi | ReportRate;
} // namespace SettingsBlock

struct DeviceSettings
{
    DeviceSettings();

    // The reply to control query `code` (0xA0, 0xC2 or 0xC4) replaces its block; other codes change nothing.
    void takeReply(quint8 code, const quint8 *reply);
    // What the blocks read once the mouse has taken a settings command (0xA1, 0xC1, 0xC3): command byte k comes
    // back as reply byte k + 2. Values outside their ranges, which the mouse ignores, change nothing.
    void takeCommand(const quint8 *command);
    // Copies the blocks named by `blocks` (SettingsBlock flags) from `other`.
    void takeBlocks(const DeviceSettings &other, int blocks);

    quint8 lighting[32];       // reply to 0xA0: [4] mode, [5] speed, [8..10] red, green, blue
    quint8 dpi[32];            // reply to 0xC2: [3..7] level values, [8] current level, [9] aim, [10] highest level
    quint8 reportRate[32];     // reply to 0xC4: [3] report-rate code
    quint8 firmwareInfo[64];   // reply to 0xD0: [3..5] major, minor, patch
    quint8 currentDpiLevel;
};

// The window's image of the mouse, filled from the link's answers; GUI thread only.
extern DeviceSettings deviceSettings;

// A read of some blocks on the link's thread: the blocks it was not answered for keep what they held before.
struct SettingsRead
{
    DeviceSettings settings;
    int answered = 0;   // SettingsBlock flags
};
Q_DECLARE_METATYPE(SettingsRead)

// True when the lighting, DPI and report-rate blocks of `a` and `b` hold the same bytes.
bool sameSettingsBlocks(const DeviceSettings &a, const DeviceSettings &b);

// The firmware version as (major << 16) | (minor << 8) | patch, published by the GUI thread after every version
// query so that the update worker can read it without touching `firmwareInfo`.
void publishFirmwareVersion(const DeviceSettings &settings);
quint32 publishedFirmwareVersion();

#endif
