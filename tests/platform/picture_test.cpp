// Loading pictures and strips, masking, filtering, the handle, and files that are not pictures.
#include "harness/display_fixture.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

using Rgb = std::array<int, 3>;
using Pixel = std::array<uint8_t, 4>;

namespace {

std::string savedPng(const PixelBuffer& buffer, const std::string& name) {
    const std::string path = name + ".png";
    EXPECT_EQ(savePixelBufferPng(buffer, path, 5), 1);
    return path;
}

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writePictureFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// 128 x 128 in four 64 x 64 quadrants: red, green / blue, yellow.
PixelBuffer quadrants() {
    return makePixelBuffer(128, 128, [](int x, int y) {
        const int quadrant = (y / 64) * 2 + x / 64;
        const Pixel colours[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
        return colours[quadrant];
    });
}

} // namespace

class PictureStripTest : public DisplayTest {};

TEST_F(PictureStripTest, CellsRunRowByRowFromTheTopLeft) {
    const Picture strip = loadPictureStrip(savedPng(quadrants(), "strip_order"), 64, 64, 0, 4, 0);
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->width, 64);
    EXPECT_EQ(strip->height, 64);
    ASSERT_EQ(strip->frames.size(), 4u);
    setBlendMode(BlendSolid);
    for (int frame = 0; frame < 4; ++frame)
        drawPicture(strip, static_cast<float>(frame * 100), 0, frame);
    EXPECT_EQ(colorAt(32, 32), (Rgb{255, 0, 0}));
    EXPECT_EQ(colorAt(132, 32), (Rgb{0, 255, 0}));
    EXPECT_EQ(colorAt(232, 32), (Rgb{0, 0, 255}));
    EXPECT_EQ(colorAt(332, 32), (Rgb{255, 255, 0}));
    // Each frame is drawn whole and nothing of its neighbours: exactly 64 x 64.
    const TPixelBounds first = litBounds(*grabScreenRegion(0, 0, 100, 100));
    EXPECT_EQ(first.right, 64);
    EXPECT_EQ(first.bottom, 64);
    EXPECT_EQ(colorAt(63, 63), (Rgb{255, 0, 0}));
}

TEST_F(PictureStripTest, FirstCellOffsetsTheFrames) {
    const Picture strip = loadPictureStrip(savedPng(quadrants(), "strip_first"), 64, 64, 1, 3, 0);
    ASSERT_TRUE(strip);
    ASSERT_EQ(strip->frames.size(), 3u);
    setBlendMode(BlendSolid);
    drawPicture(strip, 0, 0, 0);
    drawPicture(strip, 100, 0, 2);
    EXPECT_EQ(colorAt(32, 32), (Rgb{0, 255, 0}));
    EXPECT_EQ(colorAt(132, 32), (Rgb{255, 255, 0}));
}

TEST_F(PictureStripTest, OnlyWholeCellsCount) {
    // 130 x 100 holds two whole 64 x 64 cells side by side and no second row.
    const std::string path = savedPng(makePixelBuffer(130, 100,
                                                      [](int, int) {
                                                          return Pixel{9, 9, 9, 255};
                                                      }),
                                      "strip_partial");
    EXPECT_TRUE(loadPictureStrip(path, 64, 64, 0, 2, 0));
    EXPECT_TRUE(loadPictureStrip(path, 64, 64, 1, 1, 0));
    EXPECT_FALSE(loadPictureStrip(path, 64, 64, 0, 3, 0));
    EXPECT_FALSE(loadPictureStrip(path, 64, 64, 2, 1, 0));
    EXPECT_FALSE(loadPictureStrip(path, 200, 64, 0, 1, 0));
    EXPECT_FALSE(loadPictureStrip(path, 64, 64, 0, 0, 0));
    EXPECT_FALSE(loadPictureStrip(path, 64, 64, -1, 2, 0));
    EXPECT_FALSE(loadPictureStrip(path, 0, 64, 0, 1, 0));
    EXPECT_FALSE(loadPictureStrip(path, 64, -64, 0, 1, 0));
}

class PictureTest : public DisplayTest {};

TEST_F(PictureTest, MaskingMakesTheMaskColourTransparentInPicturesWithoutAlpha) {
    // Opaque, so written without an alpha channel: a black border around a grey middle.
    const PixelBuffer framed = makePixelBuffer(10, 10, [](int x, int y) {
        const bool border = x < 2 || y < 2 || x > 7 || y > 7;
        return border ? Pixel{0, 0, 0, 255} : Pixel{90, 90, 90, 255};
    });
    const std::string path = savedPng(framed, "masked");
    const Picture masked = loadPicture(path, PictureMasked);
    const Picture plain = loadPicture(path, 0);
    const Picture byDefault = loadPicture(path, -1);
    ASSERT_TRUE(masked && plain && byDefault);
    EXPECT_EQ(byDefault->flags, PictureMasked | PictureFiltered);

    setBlendMode(BlendSolid);
    setDrawColor(200, 0, 0);
    fillRect(0, 0, 300, 20);
    setDrawColor(255, 255, 255);
    setBlendMode(BlendMask);
    drawPicture(masked, 0, 0, 0);
    drawPicture(plain, 100, 0, 0);
    drawPicture(byDefault, 200, 0, 0);
    EXPECT_EQ(colorAt(0, 0), (Rgb{200, 0, 0}));
    EXPECT_EQ(colorAt(5, 5), (Rgb{90, 90, 90}));
    EXPECT_EQ(colorAt(100, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(105, 5), (Rgb{90, 90, 90}));
    EXPECT_EQ(colorAt(200, 0), (Rgb{200, 0, 0}));
}

TEST_F(PictureTest, MaskingLeavesPicturesWithTheirOwnAlphaAlone) {
    // Black and opaque on the left, grey and transparent on the right.
    const PixelBuffer halves = makePixelBuffer(10, 10, [](int x, int) {
        return x < 5 ? Pixel{0, 0, 0, 255} : Pixel{90, 90, 90, 0};
    });
    const Picture picture = loadPicture(savedPng(halves, "own_alpha"), PictureMasked);
    ASSERT_TRUE(picture);
    setBlendMode(BlendSolid);
    setDrawColor(200, 0, 0);
    fillRect(0, 0, 20, 20);
    setDrawColor(255, 255, 255);
    setBlendMode(BlendMask);
    drawPicture(picture, 0, 0, 0);
    EXPECT_EQ(colorAt(2, 5), (Rgb{0, 0, 0}));
    EXPECT_EQ(colorAt(7, 5), (Rgb{200, 0, 0}));
}

TEST_F(PictureTest, FilteringBlendsMagnifiedPixels) {
    const PixelBuffer pair = makePixelBuffer(2, 1, [](int x, int) {
        return x == 0 ? Pixel{255, 0, 0, 255} : Pixel{0, 0, 255, 255};
    });
    const std::string path = savedPng(pair, "filtered");
    const Picture filtered = loadPicture(path, PictureFiltered);
    const Picture nearest = loadPicture(path, 0);
    ASSERT_TRUE(filtered && nearest);
    setBlendMode(BlendSolid);
    setDrawScale(50, 10);
    drawPicture(filtered, 0, 0, 0);
    drawPicture(nearest, 0, 100, 0);
    const Rgb blended = colorAt(50, 5);
    EXPECT_GT(blended[0], 60);
    EXPECT_GT(blended[2], 60);
    EXPECT_EQ(colorAt(49, 105), (Rgb{255, 0, 0}));
    EXPECT_EQ(colorAt(50, 105), (Rgb{0, 0, 255}));
}

TEST_F(PictureTest, HandleIsTheDrawingPointAndTheCentreOfRotation) {
    const Picture bar = loadPicture(savedPng(makePixelBuffer(20, 10,
                                                             [](int, int) {
                                                                 return Pixel{255, 255, 255, 255};
                                                             }),
                                             "handle"),
                                    0);
    ASSERT_TRUE(bar);
    centrePictureHandle(bar);
    EXPECT_FLOAT_EQ(bar->handleX, 10);
    EXPECT_FLOAT_EQ(bar->handleY, 5);
    setBlendMode(BlendSolid);
    setDrawRotation(90);
    drawPicture(bar, 400, 300, 0);
    EXPECT_EQ(litBounds(*grabScreen()), (TPixelBounds{395, 290, 405, 310}));
}

TEST_F(PictureTest, FilesThatAreNotPicturesGiveNull) {
    const std::string good = savedPng(quadrants(), "good");
    const std::vector<char> bytes = fileBytes(good);
    ASSERT_GT(bytes.size(), 100u);

    writePictureFile("empty.png", {});
    writePictureFile("truncated.png",
                     std::vector<char>(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)));
    writePictureFile("header_only.png", std::vector<char>(bytes.begin(), bytes.begin() + 33));
    std::vector<char> garbage(4000);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(i * 131 + 7);
    writePictureFile("garbage.png", garbage);
    std::vector<char> corrupt = bytes;
    for (size_t i = 60; i < corrupt.size(); i += 7)
        corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5a);
    writePictureFile("corrupt.png", corrupt);

    for (const char* name : {"missing.png", "empty.png", "truncated.png", "header_only.png", "garbage.png",
                             "corrupt.png", "incbin::no_such_asset.png", "."}) {
        EXPECT_FALSE(loadPicture(name, -1)) << name;
        EXPECT_FALSE(loadPictureStrip(name, 64, 64, 0, 1, -1)) << name;
    }
    EXPECT_TRUE(loadPicture(good, -1));
}

TEST_F(PictureTest, NullPicturesAreIgnoredWhenDrawn) {
    drawPicture(nullptr, 0, 0, 0);
    centrePictureHandle(nullptr);
    const Picture picture = loadPicture(savedPng(quadrants(), "frames"), 0);
    ASSERT_TRUE(picture);
    drawPicture(picture, 0, 0, 1);
    EXPECT_EQ(renderStats().vertices, 0);
}
