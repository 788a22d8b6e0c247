// Glue between the input module and the rest of the platform; never included by the game (the test
// harness includes it, to drive the same translation backwards).
//
// Key events name the key twice: by its place on the keyboard, a scancode, and by what the layout prints
// on it, a keycode. Scancodes are the USB HID keyboard usages (page 7), the numbering SDL, the browsers'
// key codes tables and recordings all share; keycodes of letter keys are the lower-case letters.
#pragma once

#include <string_view>

namespace Scancode {
constexpr int A = 4;       // .. Z = 29
constexpr int Digit1 = 30; // .. Digit9 = 38, then Digit0 = 39
constexpr int Digit0 = 39;
constexpr int Return = 40;
constexpr int Escape = 41;
constexpr int Backspace = 42;
constexpr int Tab = 43;
constexpr int Space = 44;
constexpr int Minus = 45;
constexpr int Equals = 46;
constexpr int LeftBracket = 47;
constexpr int RightBracket = 48;
constexpr int Backslash = 49;
constexpr int Semicolon = 51;
constexpr int Apostrophe = 52;
constexpr int Grave = 53;
constexpr int Comma = 54;
constexpr int Period = 55;
constexpr int Slash = 56;
constexpr int CapsLock = 57;
constexpr int F1 = 58; // .. F12 = 69
constexpr int PrintScreen = 70;
constexpr int ScrollLock = 71;
constexpr int Pause = 72;
constexpr int Insert = 73;
constexpr int Home = 74;
constexpr int PageUp = 75;
constexpr int Delete = 76;
constexpr int End = 77;
constexpr int PageDown = 78;
constexpr int Right = 79;
constexpr int Left = 80;
constexpr int Down = 81;
constexpr int Up = 82;
constexpr int NumLock = 83;
constexpr int KeypadDivide = 84;
constexpr int KeypadMultiply = 85;
constexpr int KeypadMinus = 86;
constexpr int KeypadPlus = 87;
constexpr int KeypadEnter = 88;
constexpr int Keypad1 = 89; // .. Keypad9 = 97, then Keypad0 = 98
constexpr int Keypad0 = 98;
constexpr int KeypadPeriod = 99;
constexpr int NonUsBackslash = 100;
constexpr int Application = 101;
constexpr int LeftCtrl = 224;
constexpr int LeftShift = 225;
constexpr int LeftAlt = 226;
constexpr int LeftGui = 227;
constexpr int RightCtrl = 228;
constexpr int RightShift = 229;
constexpr int RightAlt = 230;
constexpr int RightGui = 231;
constexpr int Count = 512; // room for every usage a keyboard reports
} // namespace Scancode

// The Windows virtual-key code for a scancode on a US layout, 0 for keys the game has no code for.
int virtualKeyFromScancode(int scancode);
// The virtual-key code of a key event: letters follow the keyboard layout, everything else its position.
int virtualKeyFromKeyEvent(int scancode, int keycode);
// A browser's KeyboardEvent.code as a scancode, 0 for a key the game has no code for.
int scancodeFromDomCode(std::string_view code);
// A browser's KeyboardEvent.key as a keycode: the lower-case letter for a letter key, 0 for anything else.
int keycodeFromDomKey(std::string_view key);
// A recording starts: the pointer's place (and any held mouse button) is written down, and joypad values
// are recorded afresh from the next query.
void beginInputRecording();
// A replay starts: keys, buttons and joypad values go back to rest, so that only the recording moves them.
void beginInputReplay();
