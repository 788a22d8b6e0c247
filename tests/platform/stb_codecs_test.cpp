// The browser build's codecs (stb) against the desktop's (libpng, FreeType, libvorbis) on the game's own
// files. Both are compiled into this program: the stb ones under other names (tests/CMakeLists.txt).
#include "platform/assets.h"
#include "platform/image_decoders.h"
#include "platform/mixer.h"
#include "platform/sound_decoders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

bool stbDecodePng(const uint8_t* bytes, size_t size, TDecodedImage& image);
bool stbEncodePng(const uint8_t* pixels, int width, int height, int channels, int level,
                  std::vector<uint8_t>& bytes);
bool stbRasteriseFont(const uint8_t* bytes, size_t size, int pixelSize, TFontRaster& raster);
std::unique_ptr<TOggDecoder> stbOpenOggDecoder(TStream& stream, TSoundClip& clip);

namespace {

const TAssetEntry& asset(const char* name) {
    registerEmbeddedAssets();
    const TAssetEntry* entry = findAsset(name);
    if (!entry) std::abort();
    return *entry;
}

using OpenDecoder = std::unique_ptr<TOggDecoder> (*)(TStream&, TSoundClip&);

// Decoded in pieces of the given size, as the browser does between frames.
TSoundClip decodeInPieces(OpenDecoder open, const TAssetEntry& file, size_t frames) {
    TSoundClip clip;
    const std::unique_ptr<TStream> stream = openMemoryStream(file.data, file.size);
    const std::unique_ptr<TOggDecoder> decoder = open(*stream, clip);
    if (!decoder) return TSoundClip{};
    for (;;) {
        const TOggDecoder::Step step = decoder->decode(clip, frames);
        if (step == TOggDecoder::Step::Done) return clip;
        if (step == TOggDecoder::Step::Failed) return TSoundClip{};
    }
}

TEST(StbCodecsTest, EveryPictureDecodesToTheSamePixels) {
    for (const char* name :
         {"glowing.png", "player_logo2.png", "bomb_logo.png", "logo.png", "enemyicons.png"}) {
        const TAssetEntry& file = asset(name);
        TDecodedImage desktop, browser;
        ASSERT_TRUE(decodePng(file.data, file.size, desktop)) << name;
        ASSERT_TRUE(stbDecodePng(file.data, file.size, browser)) << name;
        EXPECT_EQ(browser.width, desktop.width) << name;
        EXPECT_EQ(browser.height, desktop.height) << name;
        EXPECT_EQ(browser.ownAlpha, desktop.ownAlpha) << name;
        EXPECT_TRUE(browser.rgba == desktop.rgba) << name;
    }
}

TEST(StbCodecsTest, DamagedPicturesAreRefused) {
    const TAssetEntry& file = asset("logo.png");
    TDecodedImage image;
    EXPECT_FALSE(stbDecodePng(file.data, 7, image));
    EXPECT_FALSE(stbDecodePng(file.data, file.size / 2, image));
    std::vector<uint8_t> notPng(file.data, file.data + file.size);
    notPng[1] = 'X';
    EXPECT_FALSE(stbDecodePng(notPng.data(), notPng.size(), image));
}

TEST(StbCodecsTest, ScreenshotsEncodeToPngsTheDesktopReadsBack) {
    for (const int channels : {3, 4}) {
        const int width = 37, height = 23;
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint8_t>((i * 131) ^ (i >> 3));
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(stbEncodePng(pixels.data(), width, height, channels, 6, bytes));
        TDecodedImage read;
        ASSERT_TRUE(decodePng(bytes.data(), bytes.size(), read));
        ASSERT_EQ(read.width, width);
        ASSERT_EQ(read.height, height);
        EXPECT_EQ(read.ownAlpha, channels == 4);
        for (size_t pixel = 0; pixel < static_cast<size_t>(width) * height; ++pixel) {
            for (int c = 0; c < channels; ++c)
                ASSERT_EQ(read.rgba[pixel * 4 + c], pixels[pixel * channels + c]) << pixel;
        }
    }
}

// Text keeps its layout: the same characters, line height and ascender, and advances that differ by
// no more than a pixel (FreeType's hinting rounds some widths the other way).
TEST(StbCodecsTest, TheGameFontLaysOutAsOnTheDesktop) {
    const TAssetEntry& file = asset("game_font.ttf");
    for (const int size : {16, 24, 40}) {
        TFontRaster desktop, browser;
        ASSERT_TRUE(rasteriseFont(file.data, file.size, size, desktop));
        ASSERT_TRUE(stbRasteriseFont(file.data, file.size, size, browser));
        EXPECT_EQ(browser.ascender, desktop.ascender) << size;
        EXPECT_EQ(browser.lineHeight, desktop.lineHeight) << size;
        ASSERT_EQ(browser.glyphs.size(), desktop.glyphs.size()) << size;
        double inkDesktop = 0, inkBrowser = 0;
        for (size_t i = 0; i < desktop.glyphs.size(); ++i) {
            const TRasterGlyph& d = desktop.glyphs[i];
            const TRasterGlyph& b = browser.glyphs[i];
            ASSERT_EQ(b.code, d.code);
            EXPECT_LE(std::abs(b.advance - d.advance), 1.0f) << "code " << d.code << " at " << size;
            EXPECT_LE(std::abs(b.top - d.top), 1) << "code " << d.code << " at " << size;
            EXPECT_LE(std::abs(b.left - d.left), 1) << "code " << d.code << " at " << size;
            for (const uint8_t value : d.coverage)
                inkDesktop += value;
            for (const uint8_t value : b.coverage)
                inkBrowser += value;
        }
        // The same amount of ink on the page, give or take the anti-aliasing.
        EXPECT_NEAR(inkBrowser / inkDesktop, 1.0, 0.1) << size;
    }
}

TEST(StbCodecsTest, TheMusicDecodesToTheSameSound) {
    for (const char* name : {"music_title.ogg", "music_play.ogg"}) {
        const TAssetEntry& file = asset(name);
        const TSoundClip desktop = decodeInPieces(openOggDecoder, file, 4096);
        const TSoundClip browser = decodeInPieces(stbOpenOggDecoder, file, 4096);
        ASSERT_FALSE(desktop.samples.empty()) << name;
        EXPECT_EQ(browser.sampleRate, desktop.sampleRate) << name;
        EXPECT_EQ(browser.channelCount, desktop.channelCount) << name;
        ASSERT_EQ(browser.samples.size(), desktop.samples.size()) << name;
        // Two implementations of the same floating-point decoder: within a few steps of 16 bits.
        int worst = 0;
        for (size_t i = 0; i < desktop.samples.size(); ++i)
            worst = std::max(worst, std::abs(browser.samples[i] - desktop.samples[i]));
        EXPECT_LE(worst, 4) << name;
    }
}

TEST(StbCodecsTest, DecodingInPiecesGivesTheWholeDecode) {
    const TAssetEntry& file = asset("music_title.ogg");
    const std::unique_ptr<TStream> stream = openMemoryStream(file.data, file.size);
    const std::shared_ptr<TSoundClip> whole = decodeOggVorbis(*stream);
    ASSERT_TRUE(whole);
    for (const OpenDecoder open : {OpenDecoder{openOggDecoder}, OpenDecoder{stbOpenOggDecoder}}) {
        const TSoundClip pieces = decodeInPieces(open, file, 1000);
        ASSERT_EQ(pieces.samples.size(), whole->samples.size());
        if (open == openOggDecoder) {
            EXPECT_TRUE(pieces.samples == whole->samples);
        }
    }
}

TEST(StbCodecsTest, ANonVorbisStreamOpensNoDecoder) {
    const TAssetEntry& file = asset("fx_menu.wav");
    const std::unique_ptr<TStream> stream = openMemoryStream(file.data, file.size);
    TSoundClip clip;
    EXPECT_EQ(stbOpenOggDecoder(*stream, clip), nullptr);
}

} // namespace
