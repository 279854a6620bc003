#include "platform/x11/xkeycodes.h"

#include <array>

namespace {

// Key codes firstKeycode..lastKeycode, in order, are the keys firstVk onwards.
struct KeycodeRange
{
    quint16 firstKeycode;
    quint16 lastKeycode;
    quint8 firstVk;
};

constexpr KeycodeRange keycodeRows[] = {
    { 9, 9, 0x1B },        // Escape
    { 10, 18, 0x31 },      // 1 to 9
    { 19, 19, 0x30 },      // 0
    { 20, 20, 0xBD },      // -
    { 21, 21, 0xBB },      // =
    { 22, 22, 0x08 },      // BackSpace
    { 23, 23, 0x09 },      // Tab
    { 24, 24, 'Q' }, { 25, 25, 'W' }, { 26, 26, 'E' }, { 27, 27, 'R' }, { 28, 28, 'T' },
    { 29, 29, 'Y' }, { 30, 30, 'U' }, { 31, 31, 'I' }, { 32, 32, 'O' }, { 33, 33, 'P' },
    { 34, 34, 0xDB },      // [
    { 35, 35, 0xDD },      // ]
    { 36, 36, 0x0D },      // Return
    { 37, 37, 0xA2 },      // Control_L
    { 38, 38, 'A' }, { 39, 39, 'S' }, { 40, 40, 'D' }, { 41, 41, 'F' }, { 42, 42, 'G' },
    { 43, 43, 'H' }, { 44, 44, 'J' }, { 45, 45, 'K' }, { 46, 46, 'L' },
    { 47, 47, 0xBA },      // ;
    { 48, 48, 0xDE },      // '
    { 49, 49, 0xC0 },      // `
    { 50, 50, 0xA0 },      // Shift_L
    { 51, 51, 0xDC },      // backslash
    { 52, 52, 'Z' }, { 53, 53, 'X' }, { 54, 54, 'C' }, { 55, 55, 'V' }, { 56, 56, 'B' },
    { 57, 57, 'N' }, { 58, 58, 'M' },
    { 59, 59, 0xBC },      // ,
    { 60, 60, 0xBE },      // .
    { 61, 61, 0xBF },      // /
    { 62, 62, 0xA1 },      // Shift_R
    { 63, 63, 0x6A },      // KP_Multiply
    { 64, 64, 0xA4 },      // Alt_L
    { 65, 65, 0x20 },      // space
    { 66, 66, 0x14 },      // Caps_Lock
    { 67, 76, 0x70 },      // F1 to F10
    { 77, 77, 0x90 },      // Num_Lock
    { 78, 78, 0x91 },      // Scroll_Lock
    { 79, 81, 0x67 },      // KP_7 to KP_9
    { 82, 82, 0x6D },      // KP_Subtract
    { 83, 85, 0x64 },      // KP_4 to KP_6
    { 86, 86, 0x6B },      // KP_Add
    { 87, 89, 0x61 },      // KP_1 to KP_3
    { 90, 90, 0x60 },      // KP_0
    { 91, 91, 0x6E },      // KP_Decimal
    { 94, 94, 0xE2 },      // the extra key of ISO keyboards (less/greater)
    { 95, 96, 0x7A },      // F11, F12
    { 104, 104, 0x0D },    // KP_Enter
    { 105, 105, 0xA3 },    // Control_R
    { 106, 106, 0x6F },    // KP_Divide
    { 107, 107, 0x2C },    // Print
    { 108, 108, 0xA5 },    // Alt_R (AltGr)
    { 110, 110, 0x24 },    // Home
    { 111, 111, 0x26 },    // Up
    { 112, 112, 0x21 },    // Prior
    { 113, 113, 0x25 },    // Left
    { 114, 114, 0x27 },    // Right
    { 115, 115, 0x23 },    // End
    { 116, 116, 0x28 },    // Down
    { 117, 117, 0x22 },    // Next
    { 118, 118, 0x2D },    // Insert
    { 119, 119, 0x2E },    // Delete
    { 127, 127, 0x13 },    // Pause
    { 133, 133, 0x5B },    // Super_L
    { 134, 134, 0x5C },    // Super_R
    { 135, 135, 0x5D },    // Menu
    { 191, 202, 0x7C },    // F13 to F24
    // Volume, media and browser keys, as Windows reports them: the editors tell the user the mouse cannot send
    // them instead of taking no notice.
    { 121, 121, 0xAD },    // XF86AudioMute
    { 122, 122, 0xAE },    // XF86AudioLowerVolume
    { 123, 123, 0xAF },    // XF86AudioRaiseVolume
    { 148, 148, 0xB7 },    // XF86Calculator
    { 163, 163, 0xB4 },    // XF86Mail
    { 164, 164, 0xAB },    // XF86Favorites
    { 166, 166, 0xA6 },    // XF86Back
    { 167, 167, 0xA7 },    // XF86Forward
    { 171, 171, 0xB0 },    // XF86AudioNext
    { 172, 172, 0xB3 },    // XF86AudioPlay
    { 173, 173, 0xB1 },    // XF86AudioPrev
    { 174, 174, 0xB2 },    // XF86AudioStop
    { 180, 180, 0xAC },    // XF86HomePage
    { 181, 181, 0xA8 },    // XF86Reload
    { 225, 225, 0xAA },    // XF86Search
};

std::array<quint8, 256> buildTable()
{
    std::array<quint8, 256> table {};
    for (const KeycodeRange &row : keycodeRows) {
        for (int keycode = row.firstKeycode; keycode <= row.lastKeycode; ++keycode)
            table[keycode] = quint8(row.firstVk + (keycode - row.firstKeycode));
    }
    return table;
}

} // namespace

quint8 virtualKeyOfXKeycode(quint32 keycode)
{
    static const std::array<quint8, 256> table = buildTable();
    return keycode < table.size() ? table[keycode] : 0;
}
