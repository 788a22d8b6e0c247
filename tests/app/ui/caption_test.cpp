// The caption routine read back from the screen: where a centred line lands, the bar and text colours of
// each style, and the drawing state it leaves behind.
#include "app/entry.h"
#include "app/ui/caption.h"
#include "harness/display_fixture.h"
#include "platform/assets.h"
#include "platform/random.h"

#include <algorithm>

namespace {

class CaptionTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        if (HasFatalFailure()) return;
        static bool registered = false;
        if (!registered) registerEmbeddedAssets();
        registered = true;
        selectFont(gameFont());
        ASSERT_TRUE(gameFont());
    }

    // The brightest pixel of a band of rows: where a glyph stem covers a whole pixel.
    static std::array<int, 3> brightestIn(int top, int bottom) {
        const PixelBuffer band = grabScreenRegion(0, top, screenWidth(), bottom - top);
        std::array<int, 3> brightest{0, 0, 0};
        for (int y = 0; y < band->height; ++y)
            for (int x = 0; x < band->width; ++x) {
                const auto p = band->pixel(x, y);
                if (p[0] + p[1] + p[2] > brightest[0] + brightest[1] + brightest[2])
                    brightest = {p[0], p[1], p[2]};
            }
        return brightest;
    }
};

void expectColorNear(const std::array<int, 3>& actual, const std::array<int, 3>& expected,
                     int tolerance = 3) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << "channel " << c;
}

TEST_F(CaptionTest, CentringTruncatesBothHalves) {
    ASSERT_EQ(screenWidth(), 800);
    EXPECT_EQ(centredCaptionX(101), 350); // 400 - 50, not 349.5 rounded
    EXPECT_EQ(centredCaptionX(100), 350);
    EXPECT_EQ(centredCaptionX(0), 400);
    EXPECT_EQ(centredCaptionX(901), -50); // wider than the screen: starts off its left edge
}

TEST_F(CaptionTest, ACentredLineSitsAroundTheScreenCentre) {
    const char* text = "CONFIGURATION";
    const int width = measureTextWidth(text);
    ASSERT_GT(width, 50);
    drawCaption(text, 100, 0, CaptionStyle::Green, 1, 0);
    const TPixelBounds lit = litBounds(*grabScreen());
    const int left = centredCaptionX(width);
    EXPECT_GE(lit.left, left - 1);
    EXPECT_LE(lit.left, left + 3);
    EXPECT_LE(lit.right, left + width + 1);
    EXPECT_GE(lit.right, left + width - 4);
    EXPECT_GE(lit.top, 100);
    EXPECT_LE(lit.bottom, 120);
}

TEST_F(CaptionTest, AnUncentredLineStartsAtTheLeftEdgeWithItsOwnIndent) {
    drawCaption("X", 100, 0, CaptionStyle::Blue, 0, 0);
    const int plainLeft = litBounds(*grabScreen()).left;
    EXPECT_LT(plainLeft, 4);
    clearFrame();
    drawCaption("   X", 100, 0, CaptionStyle::Blue, 0, 0);
    EXPECT_EQ(litBounds(*grabScreen()).left, plainLeft + measureTextWidth("   "));
}

TEST_F(CaptionTest, EachStyleHasItsBarAndTextColour) {
    struct Case {
        int style;
        int white;
        std::array<int, 3> bar;  // 80 % of the bar colour over black
        std::array<int, 3> text; // the bar plus the text colour, added
    };
    const Case cases[] = {
        {CaptionStyle::Green, 0, {48, 72, 48}, {198, 255, 198}},
        {CaptionStyle::Blue, 0, {48, 48, 72}, {208, 198, 255}},
        {CaptionStyle::Green, 1, {48, 72, 48}, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " white " << c.white);
        clearFrame();
        drawCaption("MIMI", 200, c.white, c.style, 1, 1);
        // The bar spans the whole width from 5 above the row, 20 high; the text is only in the middle.
        expectColorNear(colorAt(2, 196), c.bar);
        expectColorNear(colorAt(797, 214), c.bar);
        expectColorNear(colorAt(2, 194), {0, 0, 0});
        expectColorNear(colorAt(2, 215), {0, 0, 0});
        expectColorNear(brightestIn(195, 215), c.text);
    }
}

TEST_F(CaptionTest, FlashingTextTakesARandomColourEvenWhenWhiteIsAsked) {
    seedRandom(1234);
    const int red = randomInteger(1, 255), green = randomInteger(1, 255), blue = randomInteger(1, 255);
    seedRandom(1234);
    drawCaption("MIMI", 200, 1, CaptionStyle::Flashing, 1, 1);
    expectColorNear(colorAt(2, 196), {48, 48, 72});
    expectColorNear(brightestIn(195, 215),
                    {std::min(48 + red, 255), std::min(48 + green, 255), std::min(72 + blue, 255)});
}

TEST_F(CaptionTest, OtherStylesKeepTheCurrentColourAndDrawNoBar) {
    setDrawColor(255, 0, 0);
    drawCaption("MIMI", 200, 0, CaptionStyle::Plain, 1, 1);
    expectColorNear(colorAt(2, 196), {0, 0, 0});
    expectColorNear(brightestIn(195, 215), {255, 0, 0});
}

TEST_F(CaptionTest, LeavesAdditiveBlendingAtFullOpacity) {
    drawCaption("MIMI", 200, 0, CaptionStyle::Green, 1, 1);
    // Two fills on the same spot add up only in additive mode at opacity 1.
    setDrawColor(100, 0, 0);
    fillRect(10, 400, 4, 4);
    fillRect(10, 400, 4, 4);
    expectColorNear(colorAt(11, 401), {200, 0, 0});
}

} // namespace
