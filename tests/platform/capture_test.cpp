// Reading the screen back and writing it as PNG.
#include "harness/display_fixture.h"

#include <string>

using Rgb = std::array<int, 3>;

class CaptureTest : public DisplayTest {};

TEST_F(CaptureTest, RegionsCountFromTheTopLeftAndAreOpaque) {
    setBlendMode(BlendSolid);
    setDrawColor(255, 0, 0);
    fillRect(0, 0, 10, 5);
    setDrawColor(0, 0, 255);
    fillRect(790, 595, 10, 5);
    const PixelBuffer screen = grabScreen();
    ASSERT_TRUE(screen);
    ASSERT_EQ(screen->width, 800);
    ASSERT_EQ(screen->height, 600);
    EXPECT_EQ(screen->pixel(0, 0), (std::array<uint8_t, 4>{255, 0, 0, 255}));
    EXPECT_EQ(screen->pixel(799, 599), (std::array<uint8_t, 4>{0, 0, 255, 255}));
    EXPECT_EQ(screen->pixel(0, 599), (std::array<uint8_t, 4>{0, 0, 0, 255}));

    const PixelBuffer corner = grabScreenRegion(785, 590, 15, 10);
    ASSERT_TRUE(corner);
    EXPECT_EQ(litBounds(*corner), (TPixelBounds{5, 5, 15, 10}));
}

TEST_F(CaptureTest, RegionsAreClippedToTheScreen) {
    setBlendMode(BlendSolid);
    fillRect(0, 0, 3, 3);
    const PixelBuffer overhanging = grabScreenRegion(-2, -2, 5, 5);
    ASSERT_TRUE(overhanging);
    EXPECT_EQ(overhanging->width, 3);
    EXPECT_EQ(overhanging->height, 3);
    EXPECT_EQ(overhanging->pixel(2, 2)[0], 255);
    const PixelBuffer beyond = grabScreenRegion(790, 590, 100, 100);
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->width, 10);
    EXPECT_EQ(beyond->height, 10);
    EXPECT_FALSE(grabScreenRegion(800, 0, 10, 10));
    EXPECT_FALSE(grabScreenRegion(0, 0, 0, 10));
    EXPECT_FALSE(grabScreenRegion(0, 0, 10, -3));
    EXPECT_FALSE(grabScreenRegion(2000000000, 2000000000, 2000000000, 2000000000));
}

TEST_F(CaptureTest, ScreenSurvivesARoundTripThroughAPngFile) {
    setBlendMode(BlendSolid);
    for (int i = 0; i < 40; ++i) {
        setDrawColor(i * 6, 255 - i * 5, (i * 37) % 256);
        fillRect(static_cast<float>(i * 20), static_cast<float>(i * 13), 30, 40);
    }
    setBlendMode(BlendAdditive);
    setDrawAlpha(0.4f);
    fillOval(300, 200, 250, 180);
    const PixelBuffer before = grabScreen();
    ASSERT_TRUE(before);
    ASSERT_EQ(savePixelBufferPng(before, "roundtrip.png", 5), 1);

    const Picture picture = loadPicture("roundtrip.png", 0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 800);
    EXPECT_EQ(picture->height, 600);
    resetDrawingState();
    clearFrame();
    setBlendMode(BlendSolid);
    drawPicture(picture, 0, 0, 0);
    const PixelBuffer after = grabScreen();
    ASSERT_TRUE(after);
    EXPECT_TRUE(before->rgba == after->rgba);
}

TEST_F(CaptureTest, TranslucentBuffersKeepTheirAlpha) {
    const PixelBuffer translucent = makePixelBuffer(3, 2, [](int x, int y) {
        return std::array<uint8_t, 4>{static_cast<uint8_t>(x * 100), static_cast<uint8_t>(y * 100), 50,
                                      static_cast<uint8_t>(x * 60 + y)};
    });
    ASSERT_EQ(savePixelBufferPng(translucent, "translucent.png", 9), 1);
    const Picture picture = loadPicture("translucent.png", 0);
    ASSERT_TRUE(picture);
    setBlendMode(BlendAlpha);
    setDrawScale(10, 10);
    drawPicture(picture, 0, 0, 0);
    // Fully transparent top-left pixel leaves the screen black; the most opaque one shows through partly.
    EXPECT_EQ(colorAt(5, 5), (Rgb{0, 0, 0}));
    const Rgb partly = colorAt(25, 15);
    EXPECT_NEAR(partly[0], 200 * 121 / 255, 2);
}

TEST_F(CaptureTest, SavingReportsFailure) {
    const PixelBuffer buffer = grabScreenRegion(0, 0, 4, 4);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(savePixelBufferPng(buffer, "no_such_directory/shot.png", 5), 0);
    EXPECT_EQ(savePixelBufferPng(nullptr, "null.png", 5), 0);
    auto inconsistent = std::make_shared<TPixelBuffer>();
    inconsistent->width = 10;
    inconsistent->height = 10;
    inconsistent->rgba.resize(12);
    EXPECT_EQ(savePixelBufferPng(inconsistent, "inconsistent.png", 5), 0);
    // Levels outside 0..9 are taken as the nearest one, not as an error.
    EXPECT_EQ(savePixelBufferPng(buffer, "level.png", 42), 1);
    EXPECT_TRUE(loadPicture("level.png", 0));
}
