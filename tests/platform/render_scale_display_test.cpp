// The picture drawn at the window's own pixels: where the projection puts things at other window sizes,
// text made at the scale, pictures taken from their larger renditions, screenshots and the pointer still
// in 800 x 600 picture pixels, and the automatic scale giving way to slow frames.
#include "harness/display_fixture.h"
#include "harness/input_driver.h"
#include "harness/sdl_window.h"
#include "platform/assets.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/render.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window_layout.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;

struct TWindowSize {
    int width, height;
};

class RenderScaleTest : public DisplayTest {
protected:
    void SetUp() override {
        useTestDrivers();
        DisplayTest::SetUp();
    }
    void TearDown() override {
        setClockSource({});
        setRenderScale("auto");
        SDL_SetWindowSize(platformWindow(), 800, 600);
        openGraphicsWindow(800, 600, 0, 0, 0);
    }

    // The window at that size, drawn at its own pixels from the next frame on; false where the video
    // driver keeps its windows' size.
    static bool showInWindow(TWindowSize size, const char* scale = "native") {
        SDL_SetWindowSize(platformWindow(), size.width, size.height);
        int width = 0, height = 0;
        SDL_GetWindowSize(platformWindow(), &width, &height);
        if (width != size.width || height != size.height) return false;
        setRenderScale(scale);
        presentFrame(0); // the size is measured when a frame is shown and taken at the next clear
        clearFrame();
        return true;
    }

    // The whole target as the device holds it.
    static PixelBuffer targetPixels() {
        auto buffer = std::make_shared<TPixelBuffer>();
        buffer->width = targetPixelWidth();
        buffer->height = targetPixelHeight();
        buffer->rgba.resize(static_cast<size_t>(buffer->width) * buffer->height * 4);
        readTargetPixels(0, 0, buffer->width, buffer->height, buffer->rgba.data());
        return buffer;
    }

    // Draws, shows the frame (which asks for what the scale needs) and draws again into a fresh frame.
    template <typename Draw> static void drawTwice(Draw draw) {
        draw();
        presentFrame(0);
        clearFrame();
        draw();
    }
};

TEST_F(RenderScaleTest, TheProjectionPutsLogicalPointsWhereTheScalePutsThem) {
    registerEmbeddedAssets();
    for (const TWindowSize size : {TWindowSize{800, 600}, TWindowSize{1024, 768}, TWindowSize{1000, 600},
                                   TWindowSize{1920, 1080}, TWindowSize{2560, 1440}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        if (!showInWindow(size)) GTEST_SKIP() << "this video driver does not resize its windows";
        const TLetterbox box = letterbox(size.width, size.height, 800, 600);
        ASSERT_EQ(targetPixelWidth(), box.w);
        ASSERT_EQ(targetPixelHeight(), box.h);
        // A solid bar covers exactly the target pixels whose centres its edges enclose.
        setBlendMode(BlendSolid);
        fillRect(100, 150, 600, 2);
        EXPECT_EQ(litBounds(*targetPixels()),
                  (TPixelBounds{targetPixelAt(100, 800, box.w), targetPixelAt(150, 600, box.h),
                                targetPixelAt(700, 800, box.w), targetPixelAt(152, 600, box.h)}));
        // A glow line's bright core runs from end point to end point, at every scale.
        clearFrame();
        const Picture glow = loadPictureStrip("incbin::glowing.png", 64, 64, 0, 4, -1);
        ASSERT_TRUE(glow);
        setBlendMode(BlendAdditive);
        drawGlowLine(glow, 0, 200, 300, 600, 300, 20, 1);
        const TPixelBounds line = litBounds(*targetPixels(), 200);
        const double scale = box.w / 800.0;
        EXPECT_NEAR(line.left, 200 * scale, 2 * scale + 1);
        EXPECT_NEAR(line.right, 600 * scale, 2 * scale + 1);
        EXPECT_NEAR((line.top + line.bottom) / 2.0, 300 * scale, 1);
        clearFrame();
    }
}

// Screenshots and read-backs see the 800 x 600 picture at any scale, each picture pixel where it was
// drawn: a full HD window (1.8 target pixels a picture pixel) and a laptop's 1366 x 768 (1.28).
TEST_F(RenderScaleTest, ScreenshotsStay800By600AtScalesThatAreNotWhole) {
    for (const TWindowSize window : {TWindowSize{1920, 1080}, TWindowSize{1366, 768}}) {
        SCOPED_TRACE(std::to_string(window.width) + " x " + std::to_string(window.height));
        if (!showInWindow(window)) GTEST_SKIP() << "this video driver does not resize its windows";
        ASSERT_GT(renderScale(), 1.0f);
        setBlendMode(BlendSolid);
        for (const auto& [mark, colour] : {std::pair{TPixelBounds{700, 500, 720, 510}, Rgb{255, 0, 0}},
                                           std::pair{TPixelBounds{3, 7, 4, 8}, Rgb{0, 255, 0}}}) {
            setDrawColor(colour[0], colour[1], colour[2]);
            fillRect(static_cast<float>(mark.left), static_cast<float>(mark.top),
                     static_cast<float>(mark.right - mark.left), static_cast<float>(mark.bottom - mark.top));
            EXPECT_EQ(colorAt(mark.left, mark.top), colour);
            EXPECT_EQ(colorAt(mark.right - 1, mark.bottom - 1), colour);
        }
        const PixelBuffer screen = grabScreen();
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->width, 800);
        EXPECT_EQ(screen->height, 600);
        EXPECT_EQ(litBounds(*screen), (TPixelBounds{3, 7, 720, 510}));
        clearFrame();
    }
}

// The lit part of the target, cut out.
PixelBuffer litPart(const TPixelBuffer& target) {
    const TPixelBounds bounds = litBounds(target);
    return makePixelBuffer(bounds.right - bounds.left, bounds.bottom - bounds.top,
                           [&](int x, int y) { return target.pixel(bounds.left + x, bounds.top + y); });
}

// At scale 2 the game's 16 px face is drawn from the face made at 32 px, each glyph on whole target
// pixels: exactly what the 32 px face draws at scale 1. A stretched 16 px glyph would not be.
TEST_F(RenderScaleTest, TextAtScaleTwoIsTheFaceMadeAtTwiceItsSize) {
    registerEmbeddedAssets();
    const FontFace atSixteen = loadFontFace("incbin::game_font.ttf", 16, 4);
    const FontFace atThirtyTwo = loadFontFace("incbin::game_font.ttf", 32, 4);
    ASSERT_TRUE(atSixteen && atThirtyTwo);
    const char* const glyphs[] = {"H", "g", "@"};
    std::vector<PixelBuffer> large;
    setBlendMode(BlendAdditive);
    selectFont(atThirtyTwo);
    for (const char* glyph : glyphs) {
        drawTwice([&] { drawString(glyph, 100, 100); });
        large.push_back(litPart(*targetPixels()));
        clearFrame();
    }
    if (!showInWindow({1600, 1200})) GTEST_SKIP() << "this video driver does not resize its windows";
    ASSERT_EQ(renderScale(), 2.0f);
    selectFont(atSixteen);
    setBlendMode(BlendAdditive);
    for (size_t i = 0; i < std::size(glyphs); ++i) {
        SCOPED_TRACE(glyphs[i]);
        drawTwice([&] { drawString(glyphs[i], 100, 100); });
        const PixelBuffer scaled = litPart(*targetPixels());
        ASSERT_EQ(scaled->width, large[i]->width);
        ASSERT_EQ(scaled->height, large[i]->height);
        EXPECT_EQ(scaled->rgba, large[i]->rgba);
        // Where the pen puts it, in picture pixels.
        EXPECT_NEAR(litBounds(*grabScreen()).left, 100, 2);
        clearFrame();
    }
}

// The built-in face's pixels become squares of the scale: whole target pixels at 2, partly covered ones
// where a square's edge falls between pixels at 1.5.
TEST_F(RenderScaleTest, TheBuiltInFacesPixelsBecomeSquaresOfTheScale) {
    struct TCase {
        TWindowSize window;
        int height;         // of "H", seven pixels of the face
        bool partlyCovered; // some target pixels only partly lit
    };
    for (const TCase c :
         {TCase{{800, 600}, 7, false}, TCase{{1600, 1200}, 14, false}, TCase{{1200, 900}, 11, true}}) {
        SCOPED_TRACE(std::to_string(c.window.width) + " x " + std::to_string(c.window.height));
        if (!showInWindow(c.window)) GTEST_SKIP() << "this video driver does not resize its windows";
        selectFont(nullptr);
        setBlendMode(BlendAdditive);
        drawTwice([] { drawString("H", 100, 101); });
        const PixelBuffer glyph = litPart(*targetPixels());
        EXPECT_EQ(glyph->height, c.height);
        bool partly = false;
        for (size_t i = 0; i < glyph->rgba.size(); i += 4)
            partly = partly || (glyph->rgba[i] > 0 && glyph->rgba[i] < 255);
        EXPECT_EQ(partly, c.partlyCovered);
        clearFrame();
    }
}

TEST_F(RenderScaleTest, PicturesAreDrawnFromTheirRenditionForTheScale) {
    registerEmbeddedAssets();
    const Picture glow = loadPictureStrip("incbin::glowing.png", 64, 64, 0, 4, -1);
    ASSERT_TRUE(glow);
    struct Case {
        TWindowSize window;
        int textureWidth; // the sheet is 128 wide at its own size
    };
    for (const Case c : {Case{{800, 600}, 128}, Case{{1600, 1200}, 256}, Case{{2560, 1440}, 512}}) {
        if (!showInWindow(c.window)) GTEST_SKIP() << "this video driver does not resize its windows";
        drawTwice([&] { drawGlowLine(glow, 1, 100, 100, 300, 100, 20, 1); });
        EXPECT_EQ(pictureFrameAtScale(*glow, 1, renderScale())->texture->width, c.textureWidth);
        EXPECT_EQ(glow->width, 64); // drawn at its own size whichever rendition
        clearFrame();
    }
}

TEST_F(RenderScaleTest, ThePointerLandsOnPicturePixelsAtScalesThatAreNotWhole) {
    struct Case {
        TWindowSize window;
        std::pair<int, int> at, expected;
    };
    const Case cases[] = {
        {{1440, 1080}, {0, 0}, {0, 0}},         {{1440, 1080}, {1439, 1079}, {799, 599}},
        {{1440, 1080}, {719, 539}, {399, 299}}, {{1000, 750}, {500, 375}, {400, 300}},
        {{1000, 750}, {4, 4}, {3, 3}},          {{1366, 768}, {171, 0}, {0, 0}}, // 171 px bars
        {{1366, 768}, {683, 384}, {400, 300}},  {{1366, 768}, {1194, 767}, {799, 599}},
        {{1366, 768}, {1300, 100}, {799, 78}},  {{1920, 1080}, {1000, 600}, {422, 333}},
    };
    for (const Case& c : cases) {
        if (!showInWindow(c.window)) GTEST_SKIP() << "this video driver does not resize its windows";
        EXPECT_EQ(pointerAtWindow(c.at.first, c.at.second), c.expected)
            << c.window.width << " x " << c.window.height << " at " << c.at.first << ", " << c.at.second;
    }
}

// Frames that take 40 ms (a simulated clock) cannot keep sixty a second at 1.8: the automatic choice gives
// way, down to the picture's own size and no further.
TEST_F(RenderScaleTest, AutomaticScaleGivesWayToSlowFramesButNeverBelowOne) {
    if (!showInWindow({1920, 1080}, "auto")) GTEST_SKIP() << "this video driver does not resize its windows";
    ASSERT_FLOAT_EQ(renderScale(), 1.8f);
    int now = 0;
    setClockSource([&now] { return now; });
    std::vector<float> scales;
    for (int frame = 0; frame < 300; ++frame) {
        clearFrame();
        scales.push_back(renderScale());
        presentFrame(-1);
        now += 40;
    }
    EXPECT_FLOAT_EQ(scales.back(), 1.0f);
    for (const float scale : scales)
        EXPECT_GE(scale, 1.0f);
    // It settled: once at 1, it stayed.
    const auto firstAtOne = std::find(scales.begin(), scales.end(), 1.0f);
    EXPECT_TRUE(std::all_of(firstAtOne, scales.end(), [](float scale) { return scale == 1.0f; }));
    EXPECT_LT(firstAtOne - scales.begin(), 2 * 40);
}

} // namespace
