// The browser's key events into the codes the game reads: a KeyboardEvent's code names the place (as a
// USB usage does, the numbering recordings hold), its key what the layout prints there.
#include "platform/input.h"
#include "platform/input_events.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the game sees of a key pressed in the browser.
int gameKey(const std::string& code, const std::string& key) {
    return virtualKeyFromKeyEvent(scancodeFromDomCode(code), keycodeFromDomKey(key));
}

TEST(DomKeysTest, EveryKeyTheGameReadsArrivesAsItsCode) {
    EXPECT_EQ(gameKey("ArrowLeft", "ArrowLeft"), Key::Left);
    EXPECT_EQ(gameKey("ArrowUp", "ArrowUp"), Key::Up);
    EXPECT_EQ(gameKey("ArrowRight", "ArrowRight"), Key::Right);
    EXPECT_EQ(gameKey("ArrowDown", "ArrowDown"), Key::Down);
    EXPECT_EQ(gameKey("Enter", "Enter"), Key::Enter);
    EXPECT_EQ(gameKey("NumpadEnter", "Enter"), Key::Enter);
    EXPECT_EQ(gameKey("Escape", "Escape"), Key::Escape);
    EXPECT_EQ(gameKey("Backspace", "Backspace"), Key::Backspace);
    EXPECT_EQ(gameKey("Space", " "), Key::Space);
    EXPECT_EQ(gameKey("KeyP", "p"), Key::P);
    EXPECT_EQ(gameKey("KeyZ", "z"), Key::Z);
    EXPECT_EQ(gameKey("Digit0", "0"), Key::Digit0);
    EXPECT_EQ(gameKey("Digit9", "9"), Key::Digit0 + 9);
    EXPECT_EQ(gameKey("Numpad0", "0"), Key::Keypad0);
    EXPECT_EQ(gameKey("Numpad1", "End"), Key::Keypad1);
    EXPECT_EQ(gameKey("Numpad7", "7"), Key::Keypad7);
    EXPECT_EQ(gameKey("Numpad9", "PageUp"), Key::Keypad9);
}

TEST(DomKeysTest, RunsOfKeysMapInOrder) {
    const auto named = [](const char* prefix, int number) {
        std::string code = prefix;
        code += std::to_string(number);
        return scancodeFromDomCode(code);
    };
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        EXPECT_EQ(scancodeFromDomCode(std::string("Key") + letter), Scancode::A + (letter - 'A')) << letter;
    for (int digit = 1; digit <= 9; ++digit) {
        EXPECT_EQ(named("Digit", digit), Scancode::Digit1 + digit - 1);
        EXPECT_EQ(named("Numpad", digit), Scancode::Keypad1 + digit - 1);
    }
    for (int key = 1; key <= 12; ++key)
        EXPECT_EQ(named("F", key), Scancode::F1 + key - 1) << key;
}

TEST(DomKeysTest, NamedKeysHaveTheUsbUsagesTheDesktopReports) {
    EXPECT_EQ(scancodeFromDomCode("Tab"), Scancode::Tab);
    EXPECT_EQ(scancodeFromDomCode("Minus"), Scancode::Minus);
    EXPECT_EQ(scancodeFromDomCode("Equal"), Scancode::Equals);
    EXPECT_EQ(scancodeFromDomCode("Quote"), Scancode::Apostrophe);
    EXPECT_EQ(scancodeFromDomCode("Backquote"), Scancode::Grave);
    EXPECT_EQ(scancodeFromDomCode("IntlBackslash"), Scancode::NonUsBackslash);
    EXPECT_EQ(scancodeFromDomCode("NumpadDecimal"), Scancode::KeypadPeriod);
    EXPECT_EQ(scancodeFromDomCode("NumpadSubtract"), Scancode::KeypadMinus);
    EXPECT_EQ(scancodeFromDomCode("ShiftLeft"), Scancode::LeftShift);
    EXPECT_EQ(scancodeFromDomCode("AltRight"), Scancode::RightAlt);
    // Older browsers name the system keys differently; both are the same key.
    EXPECT_EQ(scancodeFromDomCode("MetaLeft"), Scancode::LeftGui);
    EXPECT_EQ(scancodeFromDomCode("OSLeft"), Scancode::LeftGui);
}

TEST(DomKeysTest, UnknownAndMalformedCodesAreNoKey) {
    for (const char* code : {"", "Key", "KeyAA", "Keya", "keyA", "Digit", "Digit10", "DigitX", "Numpad",
                             "Numpad10", "F0", "F13", "F1x", "F", "Fn", "Unidentified", "MediaPlayPause"})
        EXPECT_EQ(scancodeFromDomCode(code), 0) << '"' << code << '"';
}

TEST(DomKeysTest, LettersFollowTheLayoutAndEverythingElseThePlace) {
    // A German keyboard: the key where a US one has Y prints Z, so Z (a screenshot) is where it reads.
    EXPECT_EQ(gameKey("KeyY", "z"), Key::Z);
    EXPECT_EQ(gameKey("KeyZ", "y"), 'Y');
    // With Shift or Caps Lock the browser gives the capital.
    EXPECT_EQ(gameKey("KeyP", "P"), Key::P);
    // A French keyboard's digit row prints symbols unshifted; the digits still go by place.
    EXPECT_EQ(gameKey("Digit1", "&"), '1');
    // A letter outside ASCII is no letter code: the key goes by its place.
    EXPECT_EQ(keycodeFromDomKey("\xc3\xa4"), 0);
    EXPECT_EQ(gameKey("Quote", "\xc3\xa4"), 222);
    EXPECT_EQ(keycodeFromDomKey("Enter"), 0);
    EXPECT_EQ(keycodeFromDomKey(""), 0);
}

} // namespace
