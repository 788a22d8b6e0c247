#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "harness/display_fixture.h"
#include "shapes/shape.h"

namespace {

// Draws on the real display and reads the turned and scaled outline back from the pixels. A plain white
// glow strip lights the whole band of each glow line: 20 px either side of the segment and past its ends.
class ShapeDrawTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        const auto path =
            std::filesystem::temp_directory_path() / ("kelvanor_glow_" + std::to_string(getpid()) + ".png");
        TPixelBuffer white{128, 128, std::vector<uint8_t>(128 * 128 * 4, 255)};
        savePixelBufferPng(std::make_shared<TPixelBuffer>(white), path.string(), 6);
        const Picture strip = loadPictureStrip(path.string(), 64, 64, 0, 4, 0);
        std::filesystem::remove(path);
        ASSERT_NE(strip, nullptr);
        setShapeGlowPicture(strip);

        // One segment along the file's +x axis, 40 long.
        shape = TShape::create("");
        shape->sourceLines.push_back(TShapeLine::create(0, 0, 40, 0, 1, 255, 255, 255));
        shape->drawnLines.push_back(shape->sourceLines.back());
        setDrawOrigin(400, 300);
    }
    void TearDown() override { setShapeGlowPicture(nullptr); }

    TPixelBounds drawAndRead() {
        clearFrame();
        shape->draw(0);
        return litBounds(*grabScreen());
    }

    static void expectBounds(const TPixelBounds& lit, int left, int top, int right, int bottom) {
        EXPECT_NEAR(lit.left, left, 2);
        EXPECT_NEAR(lit.top, top, 2);
        EXPECT_NEAR(lit.right, right, 2);
        EXPECT_NEAR(lit.bottom, bottom, 2);
    }

    Shape shape;
};

TEST_F(ShapeDrawTest, HeadingDownAndScaleTwoDrawTheSegmentUpwardsTwiceAsLong) {
    shape->heading.set(0, 1);
    shape->setScale(2);
    // (0, 0)-(40, 0) becomes (400, 300)-(400, 220) on screen.
    expectBounds(drawAndRead(), 380, 200, 420, 320);
}

TEST_F(ShapeDrawTest, MovedSegmentsStayUntilTheShapeIsMarkedAgain) {
    expectBounds(drawAndRead(), 380, 280, 460, 320);

    shape->drawnLines[0].end.set(0, 40);
    expectBounds(drawAndRead(), 380, 280, 420, 360);

    shape->needsRotation = 1;
    expectBounds(drawAndRead(), 380, 280, 460, 320);
}

TEST_F(ShapeDrawTest, HiddenShapeDrawsNothingAndTurnsAtItsNextVisibleDraw) {
    shape->heading.set(0, 1);
    shape->visible = 0;
    resetRenderStats();
    EXPECT_TRUE(drawAndRead().empty());
    EXPECT_EQ(renderStats().glowLines, 0);

    shape->visible = 1;
    expectBounds(drawAndRead(), 380, 240, 420, 320);
}

} // namespace
