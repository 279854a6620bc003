#include "pointer/dpicommand.h"

#include "device/deviceprotocol.h"

namespace Dpi {

int dpiOf(int value)
{
    return (value + 1) * 50;
}

int aimLabelX(int value)
{
    return value * 270 / 143 + 60;
}

int levelLabelX(int value)
{
    return value * 208 / 143 + 82;
}

int levelRowY(int n)
{
    return 286 + 50 * (n - 1);
}

int levelLabelY(int n)
{
    return 312 + 50 * (n - 1);
}

bool levelRowEnabled(int n, int maxIndex)
{
    return n == 1 || maxIndex >= n - 1;
}

quint8 levelCountByte(int checkedId)
{
    return checkedId < 0 ? NoLevelCount : quint8(checkedId);
}

quint8 activeLevelWithin(quint8 currentLevel, int maxIndex)
{
    return maxIndex < currentLevel ? quint8(maxIndex) : currentLevel;
}

bool isReportRateCode(int code)
{
    return code == 1 || code == 2 || code == 4 || code == 8;
}

} // namespace Dpi

void DpiCommand::writeTo(quint8 *buffer) const
{
    buffer[0] = DeviceCommand::SetDpi;
    for (int i = 0; i < Dpi::LevelCount; ++i)
        buffer[1 + i] = levels[i];
    buffer[6] = currentLevel;
    buffer[7] = aim;
    buffer[8] = maxLevel;
}

void writeReportRateCommand(quint8 *buffer, quint8 code)
{
    buffer[0] = DeviceCommand::SetReportRate;
    buffer[1] = code;
}

void writeDpiQuery(quint8 *buffer)
{
    buffer[0] = DeviceCommand::ReadDpi;
}
