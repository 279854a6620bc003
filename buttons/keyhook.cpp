#include "buttons/keyhook.h"

#include "buttons/modifierkeys.h"

namespace {

unsigned plainMessage(unsigned message)
{
    return message & ~KeyMessage::SystemBit;
}

} // namespace

bool ComboKeyTracker::apply(unsigned message, std::uint8_t vk, std::uint8_t &modifiers, std::uint8_t &vkeyCode)
{
    switch (plainMessage(message)) {
    case KeyMessage::KeyDown:
        if (vk == NoVirtualKey || pressed[vk])
            return false;
        pressed[vk] = true;
        if (const std::uint8_t bit = modifierBit(vk))
            modifiers |= bit;
        else
            vkeyCode = vk;
        return true;
    case KeyMessage::KeyUp:
        pressed[vk] = false;
        return false;
    default:
        return false;
    }
}

void ComboKeyTracker::releaseAll()
{
    pressed.fill(false);
}

void MacroKeyTracker::start()
{
    isRecording = true;
}

void MacroKeyTracker::stop()
{
    pressed.fill(false);
    isRecording = false;
}

std::optional<MacroKeyTracker::Key> MacroKeyTracker::apply(unsigned message, std::uint8_t vk)
{
    if (!isRecording || vk == NoVirtualKey)
        return std::nullopt;
    switch (plainMessage(message)) {
    case KeyMessage::KeyDown:
        if (pressed[vk])
            return std::nullopt;
        pressed[vk] = true;
        return Key { vk, false };
    case KeyMessage::KeyUp:
        if (!pressed[vk])
            return std::nullopt;
        pressed[vk] = false;
        return Key { vk, true };
    default:
        return std::nullopt;
    }
}
