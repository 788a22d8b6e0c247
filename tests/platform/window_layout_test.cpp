// The letterbox, the pointer through it, which target pixels make up a logical one, and the first size of
// the window on the desktop, as plain arithmetic.
#include "platform/window_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

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

// The pixels of a logical span are the ones a rasteriser fills for a rectangle with the span's edges:
// those whose centres the edges enclose. Checked against that rule in floating point, where no centre
// falls on an edge, for the screens the game meets.
TEST(WindowLayout, LogicalPixelsAreMadeOfTheTargetPixelsARectangleFills) {
    for (const auto& [logical, target] :
         {std::pair{800, 800}, std::pair{800, 1024}, std::pair{800, 1440}, std::pair{600, 1080},
          std::pair{800, 1920}, std::pair{600, 2160}, std::pair{800, 2133}, std::pair{600, 601}}) {
        SCOPED_TRACE(std::to_string(logical) + " onto " + std::to_string(target));
        EXPECT_EQ(targetPixelAt(0, logical, target), 0);
        EXPECT_EQ(targetPixelAt(logical, logical, target), target);
        for (int edge = 0; edge < logical; ++edge) {
            const int first = targetPixelAt(edge, logical, target);
            // Never an empty logical pixel: every one holds at least one target pixel.
            EXPECT_GT(targetPixelAt(edge + 1, logical, target), first);
            const double at = static_cast<double>(edge) * target / logical;
            if (std::abs(first - 0.5 - at) < 1e-9 || std::abs(first + 0.5 - at) < 1e-9) continue;
            EXPECT_GE(first + 0.5, at) << "logical " << edge;
            EXPECT_LT(first - 0.5, at) << "logical " << edge;
        }
    }
}

TEST(WindowLayout, APointerOverTheBarsStopsAtThePicturesEdge) {
    const TLetterbox wide = letterbox(1920, 1080, 800, 600); // 240 px bars left and right
    struct TCase {
        double x, y;
        TLogicalPoint point;
    };
    const TCase cases[] = {
        {240, 0, {0, 0}},      {1679.9, 1079.9, {799, 599}}, {960, 540, {400, 300}},
        {100, 540, {0, 300}},  {1900, -5, {799, 0}},         {240 + 1.8 * 123.5, 0.9, {123, 0}},
        {-1e9, 1e9, {0, 599}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(logicalPointIn(wide, c.x, c.y, 800, 600), c.point) << c.x << ", " << c.y;
}

} // namespace
