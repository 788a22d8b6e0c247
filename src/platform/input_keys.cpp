// Translation from SDL's keys to the Windows virtual-key codes the game's controls are written in.
#include "platform/input_events.h"

#include <SDL.h>

#include <array>

namespace {

struct TKeyCode {
    SDL_Scancode scancode;
    int virtualKey;
};

// Keys outside runs (letters, digits, keypad digits and F-keys are mapped by range below).
constexpr TKeyCode SingleKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},
    {SDL_SCANCODE_LSHIFT, 16},
    {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17},
    {SDL_SCANCODE_RCTRL, 17},
    {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_RALT, 18},
    {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

std::array<int, SDL_NUM_SCANCODES> buildKeyTable() {
    std::array<int, SDL_NUM_SCANCODES> table{};
    for (int letter = 0; letter < 26; ++letter)
        table[SDL_SCANCODE_A + letter] = 'A' + letter;
    // SDL orders the digit row 1..9, 0, as on the keyboard; so does the keypad.
    for (int digit = 1; digit <= 9; ++digit) {
        table[SDL_SCANCODE_1 + digit - 1] = '0' + digit;
        table[SDL_SCANCODE_KP_1 + digit - 1] = 96 + digit;
    }
    table[SDL_SCANCODE_0] = '0';
    table[SDL_SCANCODE_KP_0] = 96;
    for (int key = 0; key < 12; ++key)
        table[SDL_SCANCODE_F1 + key] = 112 + key;
    for (const TKeyCode& key : SingleKeys)
        table[key.scancode] = key.virtualKey;
    return table;
}

const std::array<int, SDL_NUM_SCANCODES> KeyTable = buildKeyTable();

} // namespace

int virtualKeyFromScancode(int scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return KeyTable[scancode];
}

int virtualKeyFromKeyEvent(int scancode, int keycode) {
    // Letters go by what the layout prints on the key, as Windows does, so Z (screenshot) and P (pause)
    // are where the player reads them on any layout; other keys, the digit row included, go by position.
    if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
    return virtualKeyFromScancode(scancode);
}
