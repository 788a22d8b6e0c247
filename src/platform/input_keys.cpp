// Translation from the keyboard's scancodes to the Windows virtual-key codes the game's controls are
// written in.
#include "platform/input_events.h"

#include <array>

namespace {

struct TKeyCode {
    int scancode;
    int virtualKey;
};

// Keys outside runs (letters, digits, keypad digits and F-keys are mapped by range below).
constexpr TKeyCode SingleKeys[] = {
    {Scancode::Backspace, 8},
    {Scancode::Tab, 9},
    {Scancode::Return, 13},
    {Scancode::KeypadEnter, 13},
    {Scancode::LeftShift, 16},
    {Scancode::RightShift, 16},
    {Scancode::LeftCtrl, 17},
    {Scancode::RightCtrl, 17},
    {Scancode::LeftAlt, 18},
    {Scancode::RightAlt, 18},
    {Scancode::Pause, 19},
    {Scancode::CapsLock, 20},
    {Scancode::Escape, 27},
    {Scancode::Space, 32},
    {Scancode::PageUp, 33},
    {Scancode::PageDown, 34},
    {Scancode::End, 35},
    {Scancode::Home, 36},
    {Scancode::Left, 37},
    {Scancode::Up, 38},
    {Scancode::Right, 39},
    {Scancode::Down, 40},
    {Scancode::PrintScreen, 44},
    {Scancode::Insert, 45},
    {Scancode::Delete, 46},
    {Scancode::LeftGui, 91},
    {Scancode::RightGui, 92},
    {Scancode::Application, 93},
    {Scancode::KeypadMultiply, 106},
    {Scancode::KeypadPlus, 107},
    {Scancode::KeypadMinus, 109},
    {Scancode::KeypadPeriod, 110},
    {Scancode::KeypadDivide, 111},
    {Scancode::NumLock, 144},
    {Scancode::ScrollLock, 145},
    {Scancode::Semicolon, 186},
    {Scancode::Equals, 187},
    {Scancode::Comma, 188},
    {Scancode::Minus, 189},
    {Scancode::Period, 190},
    {Scancode::Slash, 191},
    {Scancode::Grave, 192},
    {Scancode::LeftBracket, 219},
    {Scancode::Backslash, 220},
    {Scancode::RightBracket, 221},
    {Scancode::Apostrophe, 222},
    {Scancode::NonUsBackslash, 226},
};

std::array<int, Scancode::Count> buildKeyTable() {
    std::array<int, Scancode::Count> table{};
    for (int letter = 0; letter < 26; ++letter)
        table[Scancode::A + letter] = 'A' + letter;
    // The digit row runs 1..9, 0, as on the keyboard; so does the keypad.
    for (int digit = 1; digit <= 9; ++digit) {
        table[Scancode::Digit1 + digit - 1] = '0' + digit;
        table[Scancode::Keypad1 + digit - 1] = 96 + digit;
    }
    table[Scancode::Digit0] = '0';
    table[Scancode::Keypad0] = 96;
    for (int key = 0; key < 12; ++key)
        table[Scancode::F1 + key] = 112 + key;
    for (const TKeyCode& key : SingleKeys)
        table[key.scancode] = key.virtualKey;
    return table;
}

const std::array<int, Scancode::Count> KeyTable = buildKeyTable();

} // namespace

int virtualKeyFromScancode(int scancode) {
    if (scancode < 0 || scancode >= Scancode::Count) return 0;
    return KeyTable[scancode];
}

int virtualKeyFromKeyEvent(int scancode, int keycode) {
    // Letters go by what the layout prints on the key, as Windows does, so Z (screenshot) and P (pause)
    // are where the player reads them on any layout; other keys, the digit row included, go by position.
    if (keycode >= 'a' && keycode <= 'z') return 'A' + (keycode - 'a');
    return virtualKeyFromScancode(scancode);
}
