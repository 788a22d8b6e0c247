// The caption routine read back from the screen: where a centred line lands, each style's bar and text
// colour, and the drawing state it leaves behind.
#include "app/entry.h"
#include "app/ui/caption.h"
#include "harness/display_fixture.h"
#include "platform/assets.h"

namespace {

class CaptionTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        if (HasFatalFailure()) return;
        static bool registered = false;
        if (!registered) registerEmbeddedAssets();
        registered = true;
        ASSERT_TRUE(gameFont());
        selectFont(gameFont());
    }

    // The brightest pixel of the caption's rows: where a glyph stem covers a whole pixel.
    static std::array<int, 3> brightestText() {
        const PixelBuffer band = grabScreenRegion(0, 195, screenWidth(), 20);
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

void expectColorNear(const std::array<int, 3>& actual, const std::array<int, 3>& expected) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], 3) << "channel " << c;
}

TEST_F(CaptionTest, CentredLinesTruncateBothHalves) {
    EXPECT_EQ(centredCaptionX(101), 350); // 400 - 50: the odd pixel goes right, not rounded
    EXPECT_EQ(centredCaptionX(901), -50); // wider than the screen: starts off its left edge
    const int width = measureTextWidth("CONFIGURATION");
    drawCaption("CONFIGURATION", 200, CaptionStyle::Green, {.bar = false});
    const TPixelBounds lit = litBounds(*grabScreen());
    EXPECT_NEAR(lit.left, centredCaptionX(width), 3);
    EXPECT_NEAR(lit.right, centredCaptionX(width) + width, 4);
}

TEST_F(CaptionTest, EachStyleHasItsBarAndTextColour) {
    struct Case {
        CaptionStyle style;
        bool white;
        std::array<int, 3> bar;  // 80 % of the bar colour over black
        std::array<int, 3> text; // the bar plus the text colour, added
    };
    const Case cases[] = {{CaptionStyle::Green, 0, {48, 72, 48}, {198, 255, 198}},
                          {CaptionStyle::Blue, 0, {48, 48, 72}, {208, 198, 255}},
                          {CaptionStyle::Green, 1, {48, 72, 48}, {255, 255, 255}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << static_cast<int>(c.style) << " white " << c.white);
        clearFrame();
        drawCaption("MIMI", 200, c.style, {.white = c.white});
        // Full width, from 5 above the row, 20 high.
        expectColorNear(colorAt(2, 195), c.bar);
        expectColorNear(colorAt(797, 214), c.bar);
        expectColorNear(colorAt(2, 194), {0, 0, 0});
        expectColorNear(colorAt(2, 215), {0, 0, 0});
        expectColorNear(brightestText(), c.text);
    }
}

TEST_F(CaptionTest, OtherStylesKeepTheColourAndLeaveAdditiveBlendingAtFullOpacity) {
    setDrawColor(255, 0, 0);
    setDrawAlpha(0.3f);
    drawCaption("MIMI", 200, CaptionStyle::Plain);
    expectColorNear(colorAt(2, 196), {0, 0, 0}); // no bar
    expectColorNear(brightestText(), {255, 0, 0});
    // Two fills on one spot add up only in additive mode at opacity 1.
    setDrawColor(100, 0, 0);
    fillRect(10, 400, 4, 4);
    fillRect(10, 400, 4, 4);
    expectColorNear(colorAt(11, 401), {200, 0, 0});
}

} // namespace
