#include "platform/devicepathtext.h"

std::string capDevicePathText(std::string text)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos)
        text.resize(nul);
    if (text.size() > DevicePathBytes - 1)
        text.resize(DevicePathBytes - 1);
    return text;
}
