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

void DeviceSettings::takeReply(quint8 code, const quint8 *reply)
{
    switch (code) {
    case 0xA0:
        std::memcpy(lighting, reply, sizeof lighting);
        break;
    case 0xC2:
        std::memcpy(dpi, reply, sizeof dpi);
        currentDpiLevel = dpi[8];
        break;
    case 0xC4:
        std::memcpy(reportRate, reply, sizeof reportRate);
        break;
    default:
        break;
    }
}

void DeviceSettings::takeCommand(const quint8 *command)
{
    const auto take = [command](quint8 *block, int byte, int low, int high) {
        const int value = command[byte];
        if (value >= low && value <= high)
            block[byte + 2] = quint8(value);
    };
    switch (command[0]) {
    case 0xA1:
        if (command[2] <= 4 || command[2] == 6)
            lighting[4] = command[2];
        take(lighting, 3, 1, 8);
        for (int byte = 6; byte <= 8; ++byte)
            take(lighting, byte, 0, 255);
        break;
    case 0xC1:
        for (int byte = 1; byte <= 5; ++byte)
            take(dpi, byte, 1, 144);
        take(dpi, 6, 0, 4);
        take(dpi, 7, 1, 144);
        take(dpi, 8, 0, 4);
        currentDpiLevel = dpi[8];
        break;
    case 0xC3:
        if (command[1] == 1 || command[1] == 2 || command[1] == 4 || command[1] == 8)
            reportRate[3] = command[1];
        break;
    default:
        break;
    }
}

void DeviceSettings::takeBlocks(const DeviceSettings &other, int blocks)
{
    if (blocks & SettingsBlock::Lighting)
        std::memcpy(lighting, other.lighting, sizeof lighting);
    if (blocks & SettingsBlock::Dpi) {
        std::memcpy(dpi, other.dpi, sizeof dpi);
        currentDpiLevel = other.currentDpiLevel;
    }
    if (blocks & SettingsBlock::ReportRate)
        std::memcpy(reportRate, other.reportRate, sizeof reportRate);
    if (blocks & SettingsBlock::Firmware)
        std::memcpy(firmwareInfo, other.firmwareInfo, sizeof firmwareInfo);
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
