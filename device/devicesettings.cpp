#include "device/devicesettings.h"

#include <atomic>
#include <cstring>

namespace {

quint32 versionOf(const DeviceSettings &settings)
{
    return (quint32(settings.firmwareInfo[3]) << 16) | (quint32(settings.firmwareInfo[4]) << 8)
        | quint32(settings.firmwareInfo[5]);
}

// Starts as the initial image (255.0.0) until the first query publishes the real version.
std::atomic<quint32> latestFirmwareVersion { 0xFF0000 };

} // namespace

DeviceSettings deviceSettings;

DeviceSettings::DeviceSettings()
{
    std::memset(lighting, 0, sizeof lighting);
    lighting[0] = 0x4D;
    lighting[1] = 0xA0;
    lighting[5] = 0x01;
    lighting[6] = 0x01;
    lighting[8] = 0xFF;
    lighting[9] = 0xFF;
    lighting[10] = 0xFF;

    std::memset(dpi, 0, sizeof dpi);
    std::memset(reportRate, 0, sizeof reportRate);

    std::memset(firmwareInfo, 0, sizeof firmwareInfo);
    firmwareInfo[0] = 0x57;
    firmwareInfo[1] = 0xD0;
    firmwareInfo[2] = 0x01;
    firmwareInfo[3] = 0xFF;

    currentDpiLevel = 0;
}

bool sameSettingsBlocks(const DeviceSettings &a, const DeviceSettings &b)
{
    return std::memcmp(a.lighting, b.lighting, sizeof a.lighting) == 0 && std::memcmp(a.dpi, b.dpi, sizeof a.dpi) == 0
        && std::memcmp(a.reportRate, b.reportRate, sizeof a.reportRate) == 0;
}

void publishFirmwareVersion(const DeviceSettings &settings)
{
    latestFirmwareVersion.store(versionOf(settings), std::memory_order_release);
}

quint32 publishedFirmwareVersion()
{
    return latestFirmwareVersion.load(std::memory_order_acquire);
}
