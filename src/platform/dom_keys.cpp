// Translation from a browser's key events to the core's key codes. A KeyboardEvent names the key's place
// by its "code" ("KeyA", "ArrowLeft", "Numpad7"), which is layout-free like a USB usage, and what the
// layout prints on it by its "key" ("a", "Q", "Enter").
#include "platform/input_events.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct TDomCode {
    std::string_view code;
    int scancode;
};

// Keys outside runs (letters, digits, keypad digits and F-keys are mapped by pattern below).
constexpr TDomCode NamedKeys[] = {
    {"Enter", Scancode::Return},
    {"Escape", Scancode::Escape},
    {"Backspace", Scancode::Backspace},
    {"Tab", Scancode::Tab},
    {"Space", Scancode::Space},
    {"Minus", Scancode::Minus},
    {"Equal", Scancode::Equals},
    {"BracketLeft", Scancode::LeftBracket},
    {"BracketRight", Scancode::RightBracket},
    {"Backslash", Scancode::Backslash},
    {"IntlHash", 50}, // the key left of Enter on ISO keyboards
    {"Semicolon", Scancode::Semicolon},
    {"Quote", Scancode::Apostrophe},
    {"Backquote", Scancode::Grave},
    {"Comma", Scancode::Comma},
    {"Period", Scancode::Period},
    {"Slash", Scancode::Slash},
    {"CapsLock", Scancode::CapsLock},
    {"PrintScreen", Scancode::PrintScreen},
    {"ScrollLock", Scancode::ScrollLock},
    {"Pause", Scancode::Pause},
    {"Insert", Scancode::Insert},
    {"Home", Scancode::Home},
    {"PageUp", Scancode::PageUp},
    {"Delete", Scancode::Delete},
    {"End", Scancode::End},
    {"PageDown", Scancode::PageDown},
    {"ArrowRight", Scancode::Right},
    {"ArrowLeft", Scancode::Left},
    {"ArrowDown", Scancode::Down},
    {"ArrowUp", Scancode::Up},
    {"NumLock", Scancode::NumLock},
    {"NumpadDivide", Scancode::KeypadDivide},
    {"NumpadMultiply", Scancode::KeypadMultiply},
    {"NumpadSubtract", Scancode::KeypadMinus},
    {"NumpadAdd", Scancode::KeypadPlus},
    {"NumpadEnter", Scancode::KeypadEnter},
    {"NumpadDecimal", Scancode::KeypadPeriod},
    {"IntlBackslash", Scancode::NonUsBackslash},
    {"ContextMenu", Scancode::Application},
    {"ControlLeft", Scancode::LeftCtrl},
    {"ShiftLeft", Scancode::LeftShift},
    {"AltLeft", Scancode::LeftAlt},
    {"MetaLeft", Scancode::LeftGui},
    {"OSLeft", Scancode::LeftGui}, // older browsers' name for the same key
    {"ControlRight", Scancode::RightCtrl},
    {"ShiftRight", Scancode::RightShift},
    {"AltRight", Scancode::RightAlt},
    {"MetaRight", Scancode::RightGui},
    {"OSRight", Scancode::RightGui},
};

// The number after a prefix ("F11" -> 11), -1 when the rest is not a number of one or two digits.
int numberAfter(std::string_view code, std::string_view prefix) {
    if (!code.starts_with(prefix)) return -1;
    const std::string_view digits = code.substr(prefix.size());
    if (digits.empty() || digits.size() > 2) return -1;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

int scancodeFromDomCode(std::string_view code) {
    if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z')
        return Scancode::A + (code[3] - 'A');
    if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9')
        return code[5] == '0' ? Scancode::Digit0 : Scancode::Digit1 + (code[5] - '1');
    if (code.size() == 7 && code.starts_with("Numpad") && code[6] >= '0' && code[6] <= '9')
        return code[6] == '0' ? Scancode::Keypad0 : Scancode::Keypad1 + (code[6] - '1');
    const int function = numberAfter(code, "F");
    if (function >= 1 && function <= 12) return Scancode::F1 + function - 1;
    const auto named = std::find_if(std::begin(NamedKeys), std::end(NamedKeys),
                                    [code](const TDomCode& key) { return key.code == code; });
    return named != std::end(NamedKeys) ? named->scancode : 0;
}

int keycodeFromDomKey(std::string_view key) {
    // Only letters matter to the game (they follow the layout); one letter, either case.
    if (key.size() != 1) return 0;
    const char c = key[0];
    if (c >= 'a' && c <= 'z') return c;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    return 0;
}
