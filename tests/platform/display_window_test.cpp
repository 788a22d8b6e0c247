// Alt+Enter and F11 between full screen and a window on the desktop: the game never sees those keys, and
// whatever the window's size the picture it draws, grabs and points into stays 800 x 600.
#include "harness/display_fixture.h"
#include "harness/input_driver.h"
#include "harness/sdl_window.h"
#include "platform/input.h"
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>

namespace {

class WindowToggleTest : public DisplayTest {
protected:
    void SetUp() override {
        useTestDrivers();
        DisplayTest::SetUp();
        clearKeyState();
        startedFullScreen = fullScreen();
    }
    void TearDown() override {
        if (fullScreen() != startedFullScreen) toggleFullScreen();
        SDL_SetWindowSize(platformWindow(), 800, 600);
        pumpEvents();
    }

    // A real window system changes the window's size a little after it is asked to.
    static void letTheWindowSettle() {
        for (int i = 0; i < 10; ++i) {
            SDL_Delay(20);
            pumpEvents();
        }
    }

    static bool fullScreen() { return (SDL_GetWindowFlags(platformWindow()) & SDL_WINDOW_FULLSCREEN) != 0; }

    // A picture with a mark at a known place, grabbed back whole.
    static void expectTheWholePictureIsGrabbed() {
        setBlendMode(BlendSolid);
        setDrawColor(255, 0, 0);
        fillRect(700, 500, 20, 10);
        presentFrame(0);
        const PixelBuffer screen = grabScreen();
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->width, 800);
        EXPECT_EQ(screen->height, 600);
        EXPECT_EQ(litBounds(*screen), (TPixelBounds{700, 500, 720, 510}));
        clearFrame();
    }

    bool startedFullScreen = false;
};

TEST_F(WindowToggleTest, AltEnterAndF11SwitchTheWindowWithoutTheGameSeeingTheKeys) {
    tapAltEnter();
    pumpEvents();
    EXPECT_NE(fullScreen(), startedFullScreen);
    // The Enter of Alt+Enter neither confirms a menu entry nor types into a name.
    EXPECT_EQ(keyHitCount(Key::Enter), 0);
    EXPECT_EQ(isKeyDown(Key::Enter), 0);
    EXPECT_EQ(nextTypedChar(), 0);
    tapF11();
    pumpEvents();
    EXPECT_EQ(fullScreen(), startedFullScreen);
    EXPECT_EQ(keyHitCount(122), 0); // F11's own code
    // Enter alone is still the game's.
    tapKey(Key::Enter);
    EXPECT_EQ(keyHitCount(Key::Enter), 1);
    EXPECT_EQ(nextTypedChar(), 13);
}

TEST_F(WindowToggleTest, ScreenshotsAndThePointerStayInPicturePixelsInBothModes) {
    for (int mode = 0; mode < 2; ++mode) {
        SCOPED_TRACE(fullScreen() ? "full screen" : "window");
        expectTheWholePictureIsGrabbed();
        int width = 0, height = 0;
        SDL_GetWindowSize(platformWindow(), &width, &height);
        // The middle of the window is the middle of the picture, whatever the window's size.
        EXPECT_EQ(pointerAtWindow(width / 2, height / 2), std::make_pair(400, 300));
        moveMouse(123, 456);
        EXPECT_EQ(pointerX(), 123);
        EXPECT_EQ(pointerY(), 456);
        tapF11();
        letTheWindowSettle();
    }
}

TEST_F(WindowToggleTest, AWindowOfAnotherShapeLetterboxesThePointerAndThePicture) {
    if (fullScreen()) toggleFullScreen();
    letTheWindowSettle();
    SDL_SetWindowSize(platformWindow(), 1000, 600);
    letTheWindowSettle();
    int width = 0, height = 0;
    SDL_GetWindowSize(platformWindow(), &width, &height);
    if (width != 1000 || height != 600) GTEST_SKIP() << "this video driver does not resize its windows";
    // 100 px bars left and right.
    EXPECT_EQ(pointerAtWindow(100, 0), std::make_pair(0, 0));
    EXPECT_EQ(pointerAtWindow(500, 300), std::make_pair(400, 300));
    EXPECT_EQ(pointerAtWindow(899, 599), std::make_pair(799, 599));
    // Over a bar the pointer stops at the picture's edge.
    EXPECT_EQ(pointerAtWindow(40, 300), std::make_pair(0, 300));
    EXPECT_EQ(pointerAtWindow(960, 300), std::make_pair(799, 300));
    expectTheWholePictureIsGrabbed();
}

} // namespace
