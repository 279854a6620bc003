// The limit of the text kept in `devicePath`, without any system or framework header so that the Windows layer
// and the other builds share it.
#ifndef DEVICEPATHTEXT_H
#define DEVICEPATHTEXT_H

#include <cstddef>
#include <string>

// Bytes of `devicePath`, its NUL included.
constexpr std::size_t DevicePathBytes = 512;

// Cuts the text at its first NUL and then to DevicePathBytes - 1 bytes, so that it and a NUL fit. The cut counts
// bytes, not characters: a double-byte character may lose its second byte.
std::string capDevicePathText(std::string text);

#endif
