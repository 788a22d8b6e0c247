// The real display on a headless video driver, for tests that draw and read pixels back.
//
// The display opens once per process (ctest runs every test case in a process of its own); each test then
// starts from the default drawing state on a black screen with zeroed render statistics. Fixtures for
// input or whole-game tests derive from DisplayTest or call openTestDisplay themselves.
#pragma once

#include "platform/display.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>

// Chooses the headless drivers (SDL_VIDEODRIVER=offscreen, or KELVANOR_TEST_VIDEO when set, and
// SDL_AUDIODRIVER=dummy), initialises the platform and opens an 800 x 600 window without pacing. Safe to
// call repeatedly; says whether the display is open.
bool openTestDisplay();

// A rectangle of pixels, right and bottom exclusive; empty when left >= right.
struct TPixelBounds {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return left >= right || top >= bottom; }
    bool operator==(const TPixelBounds&) const = default;
};
void PrintTo(const TPixelBounds& bounds, std::ostream* out);

// A width x height buffer whose pixels the function gives as red, green, blue, alpha.
PixelBuffer makePixelBuffer(int width, int height,
                            const std::function<std::array<uint8_t, 4>(int x, int y)>& pixel);

// The smallest rectangle holding every pixel of the buffer brighter than threshold in any colour channel.
TPixelBounds litBounds(const TPixelBuffer& buffer, int threshold = 0);

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override;

    static PixelBuffer grabScreen();
    // One pixel of the screen as red, green, blue.
    static std::array<int, 3> colorAt(int x, int y);
};
