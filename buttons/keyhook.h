// What the editor and the recorder make of the keys the keyboard capture hands them, one (message, virtual key)
// pair at a time, as a Windows low-level keyboard hook receives them. Standard C++ only: the Windows layer's
// test program runs the same rules.
#ifndef KEYHOOK_H
#define KEYHOOK_H

#include "platform/keymessages.h"

#include <array>
#include <cstdint>
#include <optional>

// 0xFF is the "no key" code of the keyboard layer; it never counts as a key.
constexpr std::uint8_t NoVirtualKey = 0xFF;

// A key combination being typed: modifier bits accumulate, a further key replaces the previous one. A key held
// down counts once, however often the keyboard repeats it.
class ComboKeyTracker
{
public:
    // Returns true for a press that counts; the combination must then be shown again.
    bool apply(unsigned message, std::uint8_t vk, std::uint8_t &modifiers, std::uint8_t &vkeyCode);
    // Forgets which keys are held (their releases may have gone elsewhere).
    void releaseAll();

private:
    std::array<bool, 256> pressed {};
};

// The key events of a macro recording: every press and every release of a key, held keys once.
class MacroKeyTracker
{
public:
    struct Key
    {
        std::uint8_t vk;
        bool up;
    };

    void start();
    // Ends the recording and forgets the held keys.
    void stop();
    bool recording() const { return isRecording; }
    // The event to record, if any; a release whose press was not recorded is ignored.
    std::optional<Key> apply(unsigned message, std::uint8_t vk);

private:
    std::array<bool, 256> pressed {};
    bool isRecording = false;
};

#endif
