// Glow lines: the strip's shape, how it samples its frame, and how consecutive lines batch.
#include "harness/display_fixture.h"

#include <cstdio>
#include <string>

using Rgb = std::array<int, 3>;

namespace {

// Saves a buffer as a PNG in the working directory and loads it back as a strip of cells. The cases run
// side by side in one directory and several save the same sheet, so each file carries its case's name:
// one case must never load or remove the file another is writing.
Picture stripFrom(const PixelBuffer& sheet, const std::string& name, int cellWidth, int cellHeight,
                  int cells) {
    const std::string path =
        std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" + name + ".png";
    if (!savePixelBufferPng(sheet, path, 1)) return nullptr;
    Picture picture = loadPictureStrip(path, cellWidth, cellHeight, 0, cells, 0);
    std::remove(path.c_str());
    return picture;
}

// One opaque white frame: the lit area is exactly the strip's geometry.
Picture solidWhite() {
    return stripFrom(makePixelBuffer(8, 8,
                                     [](int, int) {
                                         return std::array<uint8_t, 4>{255, 255, 255, 255};
                                     }),
                     "glow_solid", 8, 8, 1);
}

} // namespace

class GlowLineTest : public DisplayTest {};

TEST_F(GlowLineTest, CappedLineCoversTheWidthAroundAndBeyondBothEnds) {
    const Picture picture = solidWhite();
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    setDrawOrigin(200, 300);
    drawGlowLine(picture, 0, 0, 0, 100, 0, 20, 1); // x -20..120, y -20..20 about the origin
    EXPECT_EQ(litBounds(*grabScreen()), (TPixelBounds{180, 280, 320, 320}));
    EXPECT_EQ(renderStats().vertices, 8);
    EXPECT_EQ(renderStats().glowLines, 1);
}

TEST_F(GlowLineTest, UncappedLineStopsAtItsEnds) {
    const Picture picture = solidWhite();
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    drawGlowLine(picture, 0, 300, 100, 300, 200, 10, 0);
    EXPECT_EQ(litBounds(*grabScreen()), (TPixelBounds{290, 100, 310, 200}));
    EXPECT_EQ(renderStats().vertices, 4);
}

TEST_F(GlowLineTest, ZeroLengthDrawsNothing) {
    const Picture picture = solidWhite();
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    drawGlowLine(picture, 0, 5, 5, 5, 5, 20, 1);
    drawGlowLine(picture, 0, 5, 5, 5, 5, 20, 0);
    EXPECT_TRUE(litBounds(*grabScreen()).empty());
    EXPECT_EQ(renderStats().vertices, 0);
    EXPECT_EQ(renderStats().glowLines, 0);
}

TEST_F(GlowLineTest, MissingPictureOrFrameDrawsNothing) {
    const Picture picture = solidWhite();
    ASSERT_TRUE(picture);
    drawGlowLine(nullptr, 0, 0, 0, 100, 100, 20, 1);
    drawGlowLine(picture, 1, 0, 0, 100, 100, 20, 1);
    drawGlowLine(picture, -1, 0, 0, 100, 100, 20, 1);
    EXPECT_EQ(renderStats().vertices, 0);
}

TEST_F(GlowLineTest, IgnoresRotationAndScale) {
    const Picture picture = solidWhite();
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    setDrawTransform(45, 3, 2);
    drawGlowLine(picture, 0, 400, 300, 400, 350, 20, 1);
    EXPECT_EQ(litBounds(*grabScreen()), (TPixelBounds{380, 280, 420, 370}));
}

TEST_F(GlowLineTest, AcrossTheLineSamplesTheFrameLeftToRight) {
    // Left half red, right half green. The first vertex of each pair (P + p) samples the left edge; for a
    // line running right, p points up.
    const Picture picture = stripFrom(makePixelBuffer(8, 8,
                                                      [](int x, int) {
                                                          return x < 4
                                                                     ? std::array<uint8_t, 4>{255, 0, 0, 255}
                                                                     : std::array<uint8_t, 4>{0, 255, 0, 255};
                                                      }),
                                      "glow_across", 8, 8, 1);
    ASSERT_TRUE(picture);
    setBlendMode(BlendSolid);
    drawGlowLine(picture, 0, 100, 300, 300, 300, 20, 0);
    EXPECT_EQ(colorAt(200, 285), (Rgb{255, 0, 0}));
    EXPECT_EQ(colorAt(200, 315), (Rgb{0, 255, 0}));
}

TEST_F(GlowLineTest, CapsSampleTheLowerHalfOfTheFrame) {
    // Top half blue, bottom half white: caps run from the middle row (at the end point) to the bottom row.
    const Picture picture =
        stripFrom(makePixelBuffer(8, 8,
                                  [](int, int y) {
                                      return y < 4 ? std::array<uint8_t, 4>{0, 0, 255, 255}
                                                   : std::array<uint8_t, 4>{255, 255, 255, 255};
                                  }),
                  "glow_caps", 8, 8, 1);
    ASSERT_TRUE(picture);
    setBlendMode(BlendSolid);
    drawGlowLine(picture, 0, 100, 300, 300, 300, 20, 1);
    EXPECT_EQ(colorAt(85, 295), (Rgb{255, 255, 255}));
    EXPECT_EQ(colorAt(315, 295), (Rgb{255, 255, 255}));
    EXPECT_EQ(colorAt(85, 305), (Rgb{255, 255, 255}));
}

TEST_F(GlowLineTest, EachLineUsesItsOwnFrameColourAndAlpha) {
    // Two frames side by side: red and white.
    const Picture picture =
        stripFrom(makePixelBuffer(16, 8,
                                  [](int x, int) {
                                      return x < 8 ? std::array<uint8_t, 4>{255, 0, 0, 255}
                                                   : std::array<uint8_t, 4>{255, 255, 255, 255};
                                  }),
                  "glow_frames", 8, 8, 2);
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    drawGlowLine(picture, 0, 100, 100, 200, 100, 20, 0);
    setDrawColor(0, 128, 255);
    drawGlowLine(picture, 1, 100, 200, 200, 200, 20, 0);
    setDrawColor(255, 255, 255);
    setDrawAlpha(0.5f);
    drawGlowLine(picture, 1, 100, 300, 200, 300, 20, 0);
    EXPECT_EQ(colorAt(150, 100), (Rgb{255, 0, 0}));
    EXPECT_EQ(colorAt(150, 200), (Rgb{0, 128, 255}));
    const Rgb half = colorAt(150, 300);
    EXPECT_NEAR(half[0], 127, 1);
    EXPECT_NEAR(half[2], 127, 1);
    EXPECT_EQ(renderStats().drawCalls, 1);
}

class GlowBatchTest : public DisplayTest {};

TEST_F(GlowBatchTest, ConsecutiveLinesOfMixedFramesAndColoursShareOneDrawCall) {
    const Picture picture = stripFrom(makePixelBuffer(32, 32,
                                                      [](int, int) {
                                                          return std::array<uint8_t, 4>{255, 255, 255, 128};
                                                      }),
                                      "glow_batch", 16, 16, 4);
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    beginGlowBatch();
    for (int i = 0; i < 500; ++i) {
        setDrawColor(i % 256, (i * 7) % 256, 255 - i % 256);
        setDrawAlpha(static_cast<float>(i % 10) / 10.0f);
        setBlendMode(BlendAdditive); // already in force: costs nothing
        drawGlowLine(picture, i % 4, static_cast<float>(i), 0, static_cast<float>(i) + 30, 50, 20, 1);
    }
    endGlowBatch();
    EXPECT_EQ(renderStats().drawCalls, 1);
    EXPECT_EQ(renderStats().vertices, 500 * 8);
    EXPECT_EQ(renderStats().glowLines, 500);
}

TEST_F(GlowBatchTest, BlendModeChangeSplitsTheBatchOnlyWhenSomethingIsDrawnInIt) {
    const Picture picture = solidWhite();
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    drawGlowLine(picture, 0, 0, 0, 10, 10, 20, 1);
    setBlendMode(BlendAlpha);
    setBlendMode(BlendAdditive); // switched back before drawing: still one batch
    drawGlowLine(picture, 0, 0, 0, 10, 10, 20, 1);
    EXPECT_EQ(renderStats().drawCalls, 1);

    resetRenderStats();
    drawGlowLine(picture, 0, 0, 0, 10, 10, 20, 1);
    setBlendMode(BlendAlpha);
    drawGlowLine(picture, 0, 0, 0, 10, 10, 20, 1);
    setBlendMode(BlendAdditive);
    drawGlowLine(picture, 0, 0, 0, 10, 10, 20, 1);
    EXPECT_EQ(renderStats().drawCalls, 3);
}

TEST_F(GlowBatchTest, TextureChangeSplitsTheBatch) {
    const Picture first = solidWhite();
    const Picture second = solidWhite();
    ASSERT_TRUE(first && second);
    setBlendMode(BlendAdditive);
    drawGlowLine(first, 0, 0, 0, 10, 10, 20, 1);
    drawGlowLine(second, 0, 0, 0, 10, 10, 20, 1);
    fillRect(0, 0, 5, 5);
    fillOval(0, 0, 5, 5);
    drawGlowLine(second, 0, 0, 0, 10, 10, 20, 1);
    EXPECT_EQ(renderStats().drawCalls, 4);
}

// The benchmark's immediate-mode stand-in must draw exactly what the batch draws, one call per line, and
// leave batching as it was once switched off.
TEST_F(GlowBatchTest, PerLineSwitchDrawsTheSamePictureWithOneCallPerLine) {
    const Picture picture =
        stripFrom(makePixelBuffer(32, 32,
                                  [](int x, int y) {
                                      return std::array<uint8_t, 4>{255, static_cast<uint8_t>(x * 8),
                                                                    static_cast<uint8_t>(y * 8), 160};
                                  }),
                  "glow_per_line", 16, 16, 4);
    ASSERT_TRUE(picture);
    setBlendMode(BlendAdditive);
    constexpr int lineCount = 40;
    auto drawCrossingLines = [&] {
        clearFrame();
        resetRenderStats();
        for (int i = 0; i < lineCount; ++i) {
            setDrawColor((i * 53) % 256, (i * 91) % 256, 255);
            setDrawAlpha(0.3f + static_cast<float>(i % 7) / 10.0f);
            drawGlowLine(picture, i % 4, 100.0f + 9 * i, 80, 400.0f - 6 * i, 300, 20, 1);
        }
        return grabScreen();
    };

    const PixelBuffer batched = drawCrossingLines();
    EXPECT_EQ(renderStats().drawCalls, 1);
    setGlowLinePerDrawCall(true);
    const PixelBuffer perLine = drawCrossingLines();
    EXPECT_EQ(renderStats().drawCalls, lineCount);
    setGlowLinePerDrawCall(false);
    drawCrossingLines();
    EXPECT_EQ(renderStats().drawCalls, 1);

    ASSERT_TRUE(batched && perLine);
    EXPECT_FALSE(litBounds(*batched).empty());
    EXPECT_TRUE(batched->rgba == perLine->rgba) << "the two paths drew different pictures";
}
