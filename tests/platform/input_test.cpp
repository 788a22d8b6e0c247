#include "harness/input_driver.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

void ignoreWindowSystemFocus(); // harness/input_driver.cpp

namespace {

class InputTest : public testing::Test {
protected:
    void SetUp() override {
        useTestDrivers();
        ASSERT_TRUE(openGraphicsWindow(800, 600, 0, 0, 0));
        ASSERT_TRUE(initPlatform());
        ignoreWindowSystemFocus();
        clearKeyState();
    }
};

// A key event as the keyboard itself sends it, bypassing the harness's own key table.
void pushRawKey(SDL_Scancode scancode, SDL_Keycode keycode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    SDL_PushEvent(&event);
}

std::string drainTypedChars() {
    std::string typed;
    for (int code = nextTypedChar(); code != 0; code = nextTypedChar())
        typed.push_back(static_cast<char>(code));
    return typed;
}

TEST_F(InputTest, KeyHitsCountPressesSinceTheLastReadOfThatKey) {
    tapKey(Key::P);
    tapKey(Key::P);
    tapKey(Key::Escape);
    EXPECT_EQ(keyHitCount(Key::P), 2);
    EXPECT_EQ(keyHitCount(Key::P), 0);
    // Reading one key leaves the others counted.
    EXPECT_EQ(keyHitCount(Key::Escape), 1);
    EXPECT_EQ(keyHitCount(-1), 0);
    EXPECT_EQ(keyHitCount(256), 0);
}

TEST_F(InputTest, AHeldKeyCountsOnceWhateverItsAutoRepeat) {
    pressKey(Key::Left);
    for (int repeat = 0; repeat < 5; ++repeat)
        pressKey(Key::Left, true);
    EXPECT_EQ(isKeyDown(Key::Left), 1);
    EXPECT_EQ(keyHitCount(Key::Left), 1);
    releaseKey(Key::Left);
    EXPECT_EQ(isKeyDown(Key::Left), 0);
    EXPECT_EQ(keyHitCount(Key::Left), 0);
}

TEST_F(InputTest, KeysTranslateToTheirVirtualKeyCodes) {
    struct TCase {
        SDL_Scancode scancode;
        int virtualKey;
    };
    const TCase cases[] = {
        {SDL_SCANCODE_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, 13},
        {SDL_SCANCODE_ESCAPE, 27},
        {SDL_SCANCODE_SPACE, 32},
        {SDL_SCANCODE_LEFT, 37},
        {SDL_SCANCODE_UP, 38},
        {SDL_SCANCODE_RIGHT, 39},
        {SDL_SCANCODE_DOWN, 40},
        {SDL_SCANCODE_0, 48},
        {SDL_SCANCODE_9, 57},
        {SDL_SCANCODE_P, 80},
        {SDL_SCANCODE_Z, 90},
        {SDL_SCANCODE_KP_0, 96},
        {SDL_SCANCODE_KP_1, 97},
        {SDL_SCANCODE_KP_8, 104},
        {SDL_SCANCODE_KP_9, 105},
        {SDL_SCANCODE_KP_MULTIPLY, 106},
        {SDL_SCANCODE_KP_DIVIDE, 111},
        {SDL_SCANCODE_F1, 112},
        {SDL_SCANCODE_F12, 123},
        {SDL_SCANCODE_SEMICOLON, 186},
        {SDL_SCANCODE_GRAVE, 192},
        {SDL_SCANCODE_LEFTBRACKET, 219},
        {SDL_SCANCODE_APOSTROPHE, 222},
        {SDL_SCANCODE_RSHIFT, 16},
        {SDL_SCANCODE_BACKSPACE, 8},
        {SDL_SCANCODE_DELETE, 46},
    };
    for (const TCase& key : cases) {
        pushRawKey(key.scancode, SDL_GetKeyFromScancode(key.scancode), true);
        EXPECT_EQ(isKeyDown(key.virtualKey), 1) << SDL_GetScancodeName(key.scancode);
        pushRawKey(key.scancode, SDL_GetKeyFromScancode(key.scancode), false);
        EXPECT_EQ(keyHitCount(key.virtualKey), 1) << SDL_GetScancodeName(key.scancode);
        EXPECT_EQ(isKeyDown(key.virtualKey), 0) << SDL_GetScancodeName(key.scancode);
    }
}

TEST_F(InputTest, LettersFollowTheKeyboardLayout) {
    // On a French layout the key in the US "Q" position types "a".
    pushRawKey(SDL_SCANCODE_Q, SDLK_a, true);
    EXPECT_EQ(isKeyDown(Key::A), 1);
    EXPECT_EQ(isKeyDown('Q'), 0);
    pushRawKey(SDL_SCANCODE_Q, SDLK_a, false);
    EXPECT_EQ(isKeyDown(Key::A), 0);
}

TEST_F(InputTest, TwoKeysWithOneCodeKeepItDownUntilBothAreUp) {
    pushRawKey(SDL_SCANCODE_RETURN, SDLK_RETURN, true);
    pushRawKey(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, true);
    pushRawKey(SDL_SCANCODE_RETURN, SDLK_RETURN, false);
    EXPECT_EQ(isKeyDown(Key::Enter), 1);
    pushRawKey(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, false);
    EXPECT_EQ(isKeyDown(Key::Enter), 0);
    EXPECT_EQ(keyHitCount(Key::Enter), 2);
}

TEST_F(InputTest, TypedCharactersQueueInOrderWithEnterAndBackspace) {
    typeText("Ab1");
    tapKey(Key::Backspace);
    tapKey(Key::Enter);
    EXPECT_EQ(drainTypedChars(), "Ab1\b\r");
    EXPECT_EQ(nextTypedChar(), 0);
    // Backspace repeats while held, Enter confirms once.
    pressKey(Key::Backspace);
    pressKey(Key::Backspace, true);
    pressKey(Key::Enter);
    pressKey(Key::Enter, true);
    EXPECT_EQ(drainTypedChars(), "\b\b\r");
}

TEST_F(InputTest, TypedTextIsLatin1AndTheQueueKeepsTheFirst256) {
    typeText("\xC3\xA9\xE2\x82\xAC!"); // e-acute fits in a byte, the euro sign does not
    EXPECT_EQ(nextTypedChar(), 0xE9);
    EXPECT_EQ(nextTypedChar(), '!');
    EXPECT_EQ(nextTypedChar(), 0);

    typeText(std::string(256, 'x') + "yz");
    const std::string typed = drainTypedChars();
    EXPECT_EQ(typed, std::string(256, 'x'));
}

TEST_F(InputTest, ClearingForgetsKeysAndTypingButNotLaterPresses) {
    pressKey(Key::Up);
    tapKey(Key::Z);
    typeText("abc");
    clearKeyState();
    EXPECT_EQ(isKeyDown(Key::Up), 0);
    EXPECT_EQ(keyHitCount(Key::Z), 0);
    EXPECT_EQ(nextTypedChar(), 0);
    releaseKey(Key::Up); // the release of a key held through the clear changes nothing
    pressKey(Key::Up);
    EXPECT_EQ(isKeyDown(Key::Up), 1);
    EXPECT_EQ(keyHitCount(Key::Up), 1);
}

TEST_F(InputTest, PointerIsInDisplayPixelsAndButtonsAreNumberedLeftRightMiddle) {
    moveMouse(123, 456);
    EXPECT_EQ(pointerX(), 123);
    EXPECT_EQ(pointerY(), 456);
    moveMouse(799, 0);
    EXPECT_EQ(pointerX(), 799);
    EXPECT_EQ(pointerY(), 0);

    for (int button = 1; button <= 3; ++button) {
        mouseButton(button, true);
        for (int other = 1; other <= 3; ++other)
            EXPECT_EQ(isMouseButtonDown(other), other == button ? 1 : 0);
        mouseButton(button, false);
        EXPECT_EQ(isMouseButtonDown(button), 0);
    }
    EXPECT_EQ(isMouseButtonDown(0), 0);
    EXPECT_EQ(isMouseButtonDown(4), 0);
}

TEST_F(InputTest, ClosingTheProgramIsAQuitRequest) {
    EXPECT_FALSE(quitRequested());
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    EXPECT_TRUE(quitRequested());
    EXPECT_TRUE(quitRequested()); // and it stays asked
}

TEST_F(InputTest, APadNeverSeenReadsAllZero) {
    for (int pad : {0, 1, 15, 16, -1}) {
        EXPECT_EQ(padAxis(0, pad), 0.0f);
        EXPECT_EQ(isPadButtonDown(0, pad), 0);
    }
}

TEST_F(InputTest, APadPluggedInAfterStartIsReadAsPadZero) {
    EXPECT_EQ(padAxis(0, 0), 0.0f);
    TVirtualPad pad;
    ASSERT_TRUE(pad.attached());
    pad.setAxis(0, -1.0f);
    pad.setAxis(1, 1.0f);
    pad.setAxis(3, 0.5f);
    pad.setAxis(5, -0.25f);
    pad.setButton(0, true);
    pad.setButton(31, true);

    EXPECT_FLOAT_EQ(padAxis(0, 0), -1.0f);
    EXPECT_FLOAT_EQ(padAxis(1, 0), 1.0f);
    EXPECT_NEAR(padAxis(3, 0), 0.5f, 1e-4);
    EXPECT_NEAR(padAxis(5, 0), -0.25f, 1e-4);
    for (int axis : {6, 7, 8})
        EXPECT_EQ(padAxis(axis, 0), 0.0f) << axis;
    EXPECT_EQ(padAxis(-1, 0), 0.0f);
    EXPECT_EQ(isPadButtonDown(0, 0), 1);
    EXPECT_EQ(isPadButtonDown(31, 0), 1);
    EXPECT_EQ(isPadButtonDown(5, 0), 0);
    EXPECT_EQ(isPadButtonDown(32, 0), 0);
    EXPECT_EQ(isPadButtonDown(0, 1), 0);

    pad.setButton(0, false);
    EXPECT_EQ(isPadButtonDown(0, 0), 0);

    // A pad pulled out lets go of everything rather than holding its last state.
    pad.unplug();
    EXPECT_EQ(isPadButtonDown(31, 0), 0);
    EXPECT_EQ(padAxis(0, 0), 0.0f);

    TVirtualPad again;
    again.setButton(2, true);
    EXPECT_EQ(isPadButtonDown(2, 0), 1);
}

TEST_F(InputTest, LeavingTheWindowLetsGoOfWhatIsHeldAndCountsOnce) {
    pressKey(Key::Left);
    pressKey(Key::P);
    mouseButton(1, true);
    EXPECT_EQ(isKeyDown(Key::Left), 1);
    loseWindowFocus();
    EXPECT_EQ(isKeyDown(Key::Left), 0);
    EXPECT_EQ(isMouseButtonDown(1), 0);
    // A press made before the window was left still counts.
    EXPECT_EQ(keyHitCount(Key::P), 1);
    EXPECT_EQ(focusLossCount(), 1);
    EXPECT_EQ(focusLossCount(), 0);
    // The releases that follow are no news, and a new press after coming back works as ever.
    releaseKey(Key::Left);
    mouseButton(1, false);
    pressKey(Key::Left);
    EXPECT_EQ(isKeyDown(Key::Left), 1);
    releaseKey(Key::Left);
    releaseKey(Key::P);
    minimiseWindow();
    loseWindowFocus();
    EXPECT_EQ(focusLossCount(), 0); // nothing has pumped the events yet
    pumpEvents();
    EXPECT_EQ(focusLossCount(), 2);
}

} // namespace
