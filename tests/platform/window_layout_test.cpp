// The letterbox and the first size of the window on the desktop, as plain arithmetic.
#include "platform/window_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowLayout, ThePictureKeepsItsAspectCentredBetweenBlackBars) {
    struct TCase {
        int outerWidth, outerHeight;
        TLetterbox box;
    };
    const TCase cases[] = {
        {800, 600, {0, 0, 800, 600}},     {1920, 1080, {240, 0, 1440, 1080}}, // bars left and right
        {800, 800, {0, 100, 800, 600}},                                       // bars above and below
        {1600, 1200, {0, 0, 1600, 1200}}, {1000, 600, {100, 0, 800, 600}},
    };
    for (const TCase& c : cases) {
        const TLetterbox box = letterbox(c.outerWidth, c.outerHeight, 800, 600);
        EXPECT_EQ(box.x, c.box.x) << c.outerWidth << " x " << c.outerHeight;
        EXPECT_EQ(box.y, c.box.y) << c.outerWidth << " x " << c.outerHeight;
        EXPECT_EQ(box.w, c.box.w) << c.outerWidth << " x " << c.outerHeight;
        EXPECT_EQ(box.h, c.box.h) << c.outerWidth << " x " << c.outerHeight;
    }
}

TEST(WindowLayout, TheFirstWindowIsTheLargestWholeMultipleThatFitsWithItsFrame) {
    struct TCase {
        int usableWidth, usableHeight;
        int scale;
    };
    const TCase cases[] = {
        {1920, 1040, 1}, // 1200 rows do not fit a 1080p desktop
        {2560, 1400, 2}, // 1600 x 1200 and a title bar fit a 1440p desktop less its panel
        {3840, 2120, 3}, {1280, 1024, 1},
        {1600, 1200, 1},                // exactly twice the picture leaves no room for the frame
        {1616, 1248, 2},                // ... and this just does
        {1024, 768, 1},  {640, 480, 1}, // a desktop smaller than the picture still gets it whole
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(windowScaleToFit(c.usableWidth, c.usableHeight, TWindowFrame{}, 800, 600), c.scale)
            << c.usableWidth << " x " << c.usableHeight;
    }
}

TEST(WindowLayout, AFrameTheWindowSystemReportsIsAllowedForWhenItIsTheLarger) {
    // A thick frame: 2 x 800 plus 30 px of border either side no longer fits 1660 px.
    const TWindowFrame thick{30, 30, 60, 30};
    EXPECT_EQ(windowScaleToFit(1616, 1248, thick, 800, 600), 1);
    EXPECT_EQ(windowScaleToFit(1660, 1290, thick, 800, 600), 2);
    // A thin one never shrinks the allowance below the least frame.
    const TWindowFrame none{0, 0, 0, 0};
    EXPECT_EQ(windowScaleToFit(1610, 1210, none, 800, 600), 1);
}

} // namespace
