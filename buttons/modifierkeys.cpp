#include "buttons/modifierkeys.h"

const std::array<ModifierKey, 8> modifierKeys = { {
    { 0xA2, 0x01, "CTRL+" },
    { 0xA4, 0x04, "ALT+" },
    { 0xA0, 0x02, "SHIFT+" },
    { 0x5B, 0x08, "WIN+" },
    { 0xA3, 0x10, "RIGHT CTRL+" },
    { 0xA5, 0x40, "RIGHT ALT+" },
    { 0xA1, 0x20, "RIGHT SHIFT+" },
    { 0x5C, 0x80, "RIGHT WIN+" },
} };

std::uint8_t modifierBit(std::uint8_t vk)
{
    for (const ModifierKey &key : modifierKeys) {
        if (key.vk == vk)
            return key.bit;
    }
    return 0;
}
