// Rasterising faces from bytes, before any texture exists: which glyphs a face may put into the atlas.
#include "assets/embedded_asset.h"
#include "platform/image_decoders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

std::vector<uint8_t> gameFontBytes() {
    const std::span<const uint8_t> font = embeddedAsset("game_font.ttf");
    return {font.begin(), font.end()};
}

uint32_t readBigEndian32(const uint8_t* at) {
    return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

// Rewrites the font's units per em in its "head" table: every outline grows by the old value over the new.
bool setUnitsPerEm(std::vector<uint8_t>& font, uint16_t units) {
    const size_t tableCount = (size_t{font[4]} << 8) | font[5];
    for (size_t table = 0; table < tableCount; ++table) {
        const uint8_t* record = &font[12 + 16 * table];
        if (std::memcmp(record, "head", 4) != 0) continue;
        const size_t unitsAt = readBigEndian32(record + 8) + 18;
        font[unitsAt] = static_cast<uint8_t>(units >> 8);
        font[unitsAt + 1] = static_cast<uint8_t>(units & 0xFF);
        return true;
    }
    return false;
}

std::set<int> codesIn(const TFontRaster& raster) {
    std::set<int> codes;
    for (const TRasterGlyph& glyph : raster.glyphs)
        codes.insert(glyph.code);
    return codes;
}

} // namespace

// A face whose outlines dwarf the size asked for once took minutes to rasterise, glyph after enormous
// glyph, only to be refused for its atlas at the end.
TEST(FontRaster, GlyphsFarLargerThanTheAskedSizeAreLeftOut) {
    std::vector<uint8_t> font = gameFontBytes();
    ASSERT_FALSE(font.empty());
    ASSERT_TRUE(setUnitsPerEm(font, 16)); // from 1000: every outline about 60 times its size

    // The blank glyphs have no outline to be too large, so the face still gives an atlas.
    TFontRaster raster;
    ASSERT_TRUE(rasteriseFont(font.data(), font.size(), 16, raster));
    EXPECT_TRUE(codesIn(raster).count(' '));
    for (const TRasterGlyph& glyph : raster.glyphs) {
        EXPECT_LE(glyph.width, 4 * 16) << "code " << glyph.code;
        EXPECT_LE(glyph.height, 4 * 16) << "code " << glyph.code;
    }
}

TEST(FontRaster, EveryPrintableCharacterOfTheGameFontIsKeptAtEverySize) {
    const std::vector<uint8_t> font = gameFontBytes();
    for (int pixels : {8, 16, 128}) {
        TFontRaster raster;
        ASSERT_TRUE(rasteriseFont(font.data(), font.size(), pixels, raster)) << pixels << " px";
        const std::set<int> codes = codesIn(raster);
        for (int code = 33; code < 127; ++code)
            EXPECT_TRUE(codes.count(code)) << "code " << code << " at " << pixels << " px";
    }
}

TEST(FontRaster, SizesOutsideTheTextureRangeAreRefused) {
    const std::vector<uint8_t> font = gameFontBytes();
    TFontRaster raster;
    EXPECT_FALSE(rasteriseFont(font.data(), font.size(), 0, raster));
    EXPECT_FALSE(rasteriseFont(font.data(), font.size(), 129, raster));
}
