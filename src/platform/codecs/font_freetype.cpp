// The font codec on the desktop: FreeType rasterises every glyph of codes 32..255, hinted as the system
// would draw it.
#include "platform/image_decoders.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstddef>

namespace {

FT_Library freetype = nullptr;

void copyCoverage(const FT_Bitmap& bitmap, TRasterGlyph& glyph) {
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            uint8_t value = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                value = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                value = static_cast<uint8_t>(row[x] * 255 / std::max(1, bitmap.num_grays - 1));
            glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = value;
        }
    }
}

// Measured before rendering: an outline by its control box, a bitmap the face carries by its pixels.
bool glyphFits(const FT_GlyphSlot slot, int pixelSize) {
    const FT_Pos largest = static_cast<FT_Pos>(pixelSize) * LargestGlyphInSizes;
    if (slot->format == FT_GLYPH_FORMAT_BITMAP)
        return slot->bitmap.width <= static_cast<unsigned>(largest) &&
               slot->bitmap.rows <= static_cast<unsigned>(largest);
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    return box.xMax - box.xMin <= largest * 64 && box.yMax - box.yMin <= largest * 64; // 26.6 fixed point
}

bool rasteriseGlyphs(FT_Face face, int pixelSize, std::vector<TRasterGlyph>& glyphs) {
    for (int code = 32; code < 256; ++code) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
        if (index == 0) continue;
        if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_NORMAL) != 0 || !glyphFits(face->glyph, pixelSize))
            continue;
        if (face->glyph->format != FT_GLYPH_FORMAT_BITMAP &&
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        TRasterGlyph glyph;
        glyph.code = code;
        glyph.left = face->glyph->bitmap_left;
        glyph.top = face->glyph->bitmap_top;
        glyph.advance = static_cast<float>(face->glyph->advance.x) / 64.0f;
        copyCoverage(face->glyph->bitmap, glyph);
        glyphs.push_back(std::move(glyph));
    }
    return !glyphs.empty();
}

bool rasteriseFace(FT_Face face, int pixelSize, TFontRaster& raster) {
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 || FT_Set_Pixel_Sizes(face, 0, pixelSize) != 0)
        return false;
    if (!rasteriseGlyphs(face, pixelSize, raster.glyphs) ||
        !packFontAtlas(raster.glyphs, raster.atlasWidth, raster.atlasHeight))
        return false;
    fillFontAtlas(raster);
    raster.ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    raster.lineHeight = static_cast<int>((face->size->metrics.height + 63) >> 6);
    return true;
}

} // namespace

bool rasteriseFont(const uint8_t* bytes, size_t size, int pixelSize, TFontRaster& raster) {
    if (pixelSize <= 0 || pixelSize > LargestFontPixelSize) return false;
    if (!freetype && FT_Init_FreeType(&freetype) != 0) {
        freetype = nullptr;
        return false;
    }
    // FreeType reads the bytes while the face is open; the face is closed before this returns.
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(freetype, bytes, static_cast<FT_Long>(size), 0, &face) != 0) return false;
    const bool rasterised = rasteriseFace(face, pixelSize, raster);
    FT_Done_Face(face);
    return rasterised;
}
