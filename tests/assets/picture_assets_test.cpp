#include "assets/embedded_asset.h"
#include "assets/png_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <png.h>
#include <string>
#include <vector>

namespace {

TDecodedPng embeddedPicture(std::string_view name) {
    return decodePng(embeddedAsset(name));
}

TEST(PictureAssets, HaveTheSizesAndLayoutsTheLoadersExpect) {
    struct TExpected {
        std::string_view name;
        uint32_t width, height;
        int colourType;
    };
    const TExpected pictures[] = {
        {"glowing.png", 128, 128, PNG_COLOR_TYPE_RGBA},   {"player_logo2.png", 34, 34, PNG_COLOR_TYPE_RGB},
        {"bomb_logo.png", 34, 34, PNG_COLOR_TYPE_RGB},    {"logo.png", 690, 690, PNG_COLOR_TYPE_RGBA},
        {"enemyicons.png", 160, 64, PNG_COLOR_TYPE_RGBA},
    };
    for (const TExpected& expected : pictures) {
        SCOPED_TRACE(std::string(expected.name));
        const TDecodedPng picture = embeddedPicture(expected.name);
        ASSERT_TRUE(picture.valid);
        EXPECT_EQ(picture.width, expected.width);
        EXPECT_EQ(picture.height, expected.height);
        EXPECT_EQ(picture.colourType, expected.colourType);
        EXPECT_EQ(picture.bitDepth, 8);
    }
}

// ---- Glow sprite ---------------------------------------------------------------------------------------

class GlowSprite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sheet.valid); }
    uint8_t alpha(int frame, int x, int y) const {
        return sheet.at((frame % 2) * 64 + x, (frame / 2) * 64 + y)[3];
    }

    const TDecodedPng sheet = embeddedPicture("glowing.png");
};

TEST_F(GlowSprite, IsPureWhiteEverywhere) {
    for (size_t i = 0; i < sheet.pixels.size(); i += 4) {
        ASSERT_EQ(sheet.pixels[i], 255);
        ASSERT_EQ(sheet.pixels[i + 1], 255);
        ASSERT_EQ(sheet.pixels[i + 2], 255);
    }
}

TEST_F(GlowSprite, EveryFrameHasAnOpaqueFourByFourCore) {
    for (int frame = 0; frame < 4; ++frame) {
        for (int y = 28; y <= 35; ++y) {
            for (int x = 28; x <= 35; ++x) {
                const bool inCore = x >= 30 && x <= 33 && y >= 30 && y <= 33;
                if (inCore)
                    EXPECT_EQ(alpha(frame, x, y), 255) << frame << " " << x << "," << y;
                else
                    EXPECT_LT(alpha(frame, x, y), 100) << frame << " " << x << "," << y;
            }
        }
    }
}

TEST_F(GlowSprite, HaloPeaksFallFromFrameZeroToFrameThree) {
    const int peaks[4] = {57, 28, 14, 8};
    for (int frame = 0; frame < 4; ++frame) {
        // Just outside the core on each side, distance 2.5 from the centre along one axis.
        for (auto [x, y] : {std::pair{29, 31}, std::pair{34, 32}, std::pair{31, 29}, std::pair{32, 34}})
            EXPECT_NEAR(alpha(frame, x, y), peaks[frame], 2) << frame << " " << x << "," << y;
    }
}

TEST_F(GlowSprite, HaloFadesSmoothlyToNearlyNothingAtTheEdges) {
    for (int frame = 0; frame < 4; ++frame) {
        for (int i = 0; i < 64; ++i) {
            for (auto [x, y] : {std::pair{i, 0}, std::pair{i, 63}, std::pair{0, i}, std::pair{63, i}})
                EXPECT_LE(alpha(frame, x, y), 2) << frame << " " << x << "," << y;
        }
        // Outwards from the core along a row, the halo never brightens again.
        for (int x = 29; x > 0; --x)
            EXPECT_LE(alpha(frame, x - 1, 31), alpha(frame, x, 31)) << frame << " " << x;
        // Radially symmetric about (31.5, 31.5).
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(alpha(frame, x, y), alpha(frame, 63 - x, y));
                ASSERT_EQ(alpha(frame, x, y), alpha(frame, y, x));
            }
        }
    }
}

// ---- Icons and logo ------------------------------------------------------------------------------------

// Brightest channel values in a cell; the icons are drawn from glowing outlines, so a cell that holds an
// icon has a near-full core somewhere.
struct TCellLight {
    int maxAlpha = 0;
    int litPixels = 0;                 // alpha above a faint halo
    long red = 0, green = 0, blue = 0; // colour weighted by alpha
    int edgeAlpha = 0;                 // brightest pixel on the cell's border
};

TCellLight measureArea(const TDecodedPng& picture, uint32_t left, uint32_t top, uint32_t width,
                       uint32_t height) {
    TCellLight light;
    for (uint32_t y = top; y < top + height; ++y) {
        for (uint32_t x = left; x < left + width; ++x) {
            const uint8_t* pixel = picture.at(x, y);
            const int alpha = picture.channels == 4 ? pixel[3] : std::max({pixel[0], pixel[1], pixel[2]});
            light.maxAlpha = std::max(light.maxAlpha, alpha);
            if (alpha > 128) ++light.litPixels;
            light.red += pixel[0] * alpha;
            light.green += pixel[1] * alpha;
            light.blue += pixel[2] * alpha;
            const bool onEdge = x == left || y == top || x == left + width - 1 || y == top + height - 1;
            if (onEdge) light.edgeAlpha = std::max(light.edgeAlpha, alpha);
        }
    }
    return light;
}

TCellLight measureCell(const TDecodedPng& picture, uint32_t left, uint32_t top, uint32_t size) {
    return measureArea(picture, left, top, size, size);
}

TEST(EnemyIcons, EachKindHasAnIconInItsOwnColourWithinItsCell) {
    const TDecodedPng icons = embeddedPicture("enemyicons.png");
    ASSERT_TRUE(icons.valid);
    // Which channel dominates each kind's outline colour (0 red, 1 green, 2 blue), and which is weakest.
    struct TTint {
        int strongest, weakest;
    };
    const TTint tints[10] = {{2, 1}, {1, 0}, {1, 0}, {0, 1}, {0, 1}, {0, 1}, {2, 0}, {2, 0}, {2, 1}, {0, 1}};
    for (int kind = 0; kind < 10; ++kind) {
        SCOPED_TRACE(kind);
        const TCellLight light = measureCell(icons, (kind % 5) * 32, (kind / 5) * 32, 32);
        EXPECT_GE(light.maxAlpha, 240);
        EXPECT_LE(light.edgeAlpha, 8) << "the icon must not bleed into its neighbour";
        const long channels[3] = {light.red, light.green, light.blue};
        EXPECT_GE(channels[tints[kind].strongest], channels[tints[kind].weakest] * 3 / 2);
    }
}

TEST(EnemyIcons, TheSplinterIsASmallerSplitter) {
    const TDecodedPng icons = embeddedPicture("enemyicons.png");
    ASSERT_TRUE(icons.valid);
    const TCellLight splitter = measureCell(icons, 3 * 32, 0, 32);
    const TCellLight splinter = measureCell(icons, 4 * 32, 0, 32);
    EXPECT_LT(splinter.litPixels * 3 / 2, splitter.litPixels);
    EXPECT_GT(splinter.litPixels, 0);
}

TEST(HudIcons, AreGreenGlowOnPureBlack) {
    for (std::string_view name : {"player_logo2.png", "bomb_logo.png"}) {
        SCOPED_TRACE(std::string(name));
        const TDecodedPng icon = embeddedPicture(name);
        ASSERT_TRUE(icon.valid);
        const TCellLight light = measureCell(icon, 0, 0, 34);
        EXPECT_GE(light.maxAlpha, 240);
        EXPECT_GT(light.green * 2, 3 * light.red);
        EXPECT_GT(light.green * 2, 3 * light.blue);
        // Black is masked away when loaded, so the background has to be exactly black.
        EXPECT_EQ(light.edgeAlpha, 0);
        EXPECT_GT(light.litPixels, 30);
    }
}

TEST(TitleLogo, IsOrangeLetteringWithATransparentSurround) {
    const TDecodedPng logo = embeddedPicture("logo.png");
    ASSERT_TRUE(logo.valid);
    const TCellLight whole = measureCell(logo, 0, 0, 690);
    EXPECT_EQ(whole.edgeAlpha, 0);
    EXPECT_GT(whole.litPixels, 20000) << "large lettering";
    EXPECT_GT(whole.red, whole.green);
    EXPECT_GT(whole.green, whole.blue * 3 / 2);
    // The word sits in the middle: the rows across the centre hold solid lettering, the top and bottom
    // fifths are empty.
    EXPECT_GT(measureArea(logo, 0, 335, 690, 20).litPixels, 2000);
    EXPECT_EQ(measureArea(logo, 0, 0, 690, 138).maxAlpha, 0);
    EXPECT_EQ(measureArea(logo, 0, 552, 690, 138).maxAlpha, 0);
}

// ---- Larger renditions ---------------------------------------------------------------------------------

// Each picture comes at two and four times its size too, registered as levels of the picture, and shows
// the same thing: averaged back down to the picture's own size it differs from it only at the edges that
// the larger drawing puts more sharply. Colours count as much as they show: times their alpha.
TEST(PictureRenditions, AreThePictureAtTwiceAndFourTimesItsSize) {
    struct TCase {
        std::string_view name;
        double largestMeanDifference; // per channel, 0..255, over the whole picture
    };
    for (const TCase c :
         {TCase{"glowing.png", 1.0}, TCase{"player_logo2.png", 6.0}, TCase{"bomb_logo.png", 8.0},
          TCase{"logo.png", 4.0}, TCase{"enemyicons.png", 6.0}}) {
        SCOPED_TRACE(std::string(c.name));
        const TDecodedPng picture = embeddedPicture(c.name);
        const std::vector<TPictureLevelEntry> levels = findPictureLevels("incbin::" + std::string(c.name));
        ASSERT_EQ(levels.size(), 2u);
        for (size_t i = 0; i < levels.size(); ++i) {
            const int factor = static_cast<int>(2u << i);
            ASSERT_EQ(levels[i].factor, factor);
            const TDecodedPng larger = decodePng({levels[i].data, levels[i].size});
            ASSERT_TRUE(larger.valid);
            EXPECT_EQ(larger.width, picture.width * factor);
            EXPECT_EQ(larger.height, picture.height * factor);
            ASSERT_EQ(larger.channels, picture.channels);
            const auto shown = [&](const uint8_t* pixel, int channel) {
                const bool weighed = picture.channels == 4 && channel < 3;
                return weighed ? pixel[channel] * pixel[3] / 255.0 : double(pixel[channel]);
            };
            double difference = 0;
            for (uint32_t y = 0; y < picture.height; ++y)
                for (uint32_t x = 0; x < picture.width; ++x)
                    for (int channel = 0; channel < picture.channels; ++channel) {
                        double sum = 0;
                        for (int dy = 0; dy < factor; ++dy)
                            for (int dx = 0; dx < factor; ++dx)
                                sum += shown(larger.at(x * factor + dx, y * factor + dy), channel);
                        difference += std::abs(sum / (factor * factor) - shown(picture.at(x, y), channel));
                    }
            EXPECT_LT(difference / (double(picture.width) * picture.height * picture.channels),
                      c.largestMeanDifference)
                << factor << " times";
        }
    }
}

TEST(PictureRenditions, TheGlowCoreIsTheSameFourPicturePixelsAtEverySize) {
    registerEmbeddedAssets();
    const std::vector<TPictureLevelEntry> levels = findPictureLevels("incbin::glowing.png");
    ASSERT_EQ(levels.size(), 2u);
    for (const TPictureLevelEntry& level : levels) {
        const TDecodedPng sheet = decodePng({level.data, level.size});
        ASSERT_TRUE(sheet.valid);
        const uint32_t factor = static_cast<uint32_t>(level.factor);
        for (uint32_t i = 0; i < 64 * factor; ++i) {
            // Along the middle row of frame 0: opaque exactly over picture pixels 30..33.
            const bool inCore = i >= 30 * factor && i < 34 * factor;
            EXPECT_EQ(sheet.at(i, 32 * factor)[3] == 255, inCore) << factor << " times, pixel " << i;
        }
    }
}

} // namespace
