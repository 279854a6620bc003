// The eight modifier keys of a key combination and their bits in the USB HID keyboard modifier byte.
#ifndef MODIFIERKEYS_H
#define MODIFIERKEYS_H

#include <array>
#include <cstdint>

struct ModifierKey
{
    std::uint8_t vk;
    std::uint8_t bit;   // in the HID modifier byte
    const char *prefix;
};

// The eight modifier keys, in the order their prefixes are written.
extern const std::array<ModifierKey, 8> modifierKeys;

// The modifier byte's bit of a modifier key, 0 for any other key.
std::uint8_t modifierBit(std::uint8_t vk);

#endif
