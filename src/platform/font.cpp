// Text: TrueType faces rasterised by FreeType into one atlas texture, the current face, and laying out
// and measuring lines of 8-bit text.
//
// Character codes are Latin-1, so code c is Unicode c. All glyphs of a face share one texture, which keeps
// a whole line of text (and every line after it) in one batch.
#include "platform/display.h"

#include "platform/image_decoders.h"
#include "platform/render.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t maxFontFileBytes = size_t{32} << 20;
constexpr int maxPixelSize = 128;
constexpr int atlasPadding = 2; // keeps neighbours apart when filtered or mipmapped
constexpr int maxAtlasSide = 8192;
// A glyph more than this many times the size asked for comes from a damaged face: rasterising it costs
// time and memory by its area (a hostile face takes minutes), and it could never share the atlas anyway.
constexpr int largestGlyphInSizes = 4;

FT_Library freetype = nullptr;
FontFace currentFace;
FontFace builtinFace;

const TFontFace* activeFace() {
    if (currentFace) return currentFace.get();
    if (!builtinFace && rendererReady()) builtinFace = makeBuiltinFace();
    return builtinFace.get();
}

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
    const FT_Pos largest = static_cast<FT_Pos>(pixelSize) * largestGlyphInSizes;
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

// Shelf packing, row by row; the width grows with the total glyph area so the atlas stays near square.
bool packAtlas(std::vector<TRasterGlyph>& glyphs, int& atlasWidth, int& atlasHeight) {
    int64_t area = 0;
    int widest = 0;
    for (const TRasterGlyph& glyph : glyphs) {
        area += static_cast<int64_t>(glyph.width + atlasPadding) * (glyph.height + atlasPadding);
        widest = std::max(widest, glyph.width + 2 * atlasPadding);
    }
    atlasWidth = 64;
    while (static_cast<int64_t>(atlasWidth) * atlasWidth < area || atlasWidth < widest)
        atlasWidth *= 2;
    int x = atlasPadding, y = atlasPadding, shelfHeight = 0;
    for (TRasterGlyph& glyph : glyphs) {
        if (x + glyph.width + atlasPadding > atlasWidth) {
            x = atlasPadding;
            y += shelfHeight + atlasPadding;
            shelfHeight = 0;
        }
        glyph.atlasX = x;
        glyph.atlasY = y;
        x += glyph.width + atlasPadding;
        shelfHeight = std::max(shelfHeight, glyph.height);
    }
    atlasHeight = y + shelfHeight + atlasPadding;
    return atlasWidth <= maxAtlasSide && atlasHeight <= maxAtlasSide;
}

// White everywhere, coverage as alpha, so the drawing colour tints the text.
void fillAtlas(TFontRaster& raster) {
    raster.atlas.assign(static_cast<size_t>(raster.atlasWidth) * raster.atlasHeight * 4, 255);
    for (size_t i = 3; i < raster.atlas.size(); i += 4)
        raster.atlas[i] = 0;
    for (const TRasterGlyph& glyph : raster.glyphs)
        for (int y = 0; y < glyph.height; ++y)
            for (int x = 0; x < glyph.width; ++x)
                raster.atlas[(static_cast<size_t>(glyph.atlasY + y) * raster.atlasWidth + glyph.atlasX + x) *
                                 4 +
                             3] = glyph.coverage[static_cast<size_t>(y) * glyph.width + x];
}

bool rasteriseFace(FT_Face face, int pixelSize, TFontRaster& raster) {
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 || FT_Set_Pixel_Sizes(face, 0, pixelSize) != 0)
        return false;
    if (!rasteriseGlyphs(face, pixelSize, raster.glyphs) ||
        !packAtlas(raster.glyphs, raster.atlasWidth, raster.atlasHeight))
        return false;
    fillAtlas(raster);
    raster.ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    raster.lineHeight = static_cast<int>((face->size->metrics.height + 63) >> 6);
    return true;
}

FontFace buildFace(const TFontRaster& raster, int pixelSize, int style) {
    const int flags = (style & 4) ? (PictureFiltered | PictureMipmapped) : PictureFiltered;
    std::shared_ptr<TTexture> texture =
        createTexture(raster.atlas.data(), raster.atlasWidth, raster.atlasHeight, flags);
    if (!texture) return nullptr;

    auto result = std::make_shared<TFontFace>();
    result->pixelSize = pixelSize;
    result->ascender = raster.ascender;
    result->lineHeight = raster.lineHeight;
    const float width = static_cast<float>(raster.atlasWidth);
    const float height = static_cast<float>(raster.atlasHeight);
    for (const TRasterGlyph& placed : raster.glyphs) {
        TGlyph& glyph = result->glyphs[static_cast<size_t>(placed.code)];
        glyph.present = true;
        glyph.image =
            TPictureFrame{texture, placed.atlasX / width, placed.atlasY / height,
                          (placed.atlasX + placed.width) / width, (placed.atlasY + placed.height) / height};
        glyph.width = placed.width;
        glyph.height = placed.height;
        glyph.offsetX = placed.left;
        glyph.offsetY = result->ascender - placed.top;
        glyph.advance = placed.advance;
    }
    return result;
}

} // namespace

bool rasteriseFont(const uint8_t* bytes, size_t size, int pixelSize, TFontRaster& raster) {
    if (pixelSize <= 0 || pixelSize > maxPixelSize) return false;
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

FontFace loadFontFace(std::string_view name, int pixelSize, int style) {
    if (pixelSize <= 0 || pixelSize > maxPixelSize || !rendererReady()) return nullptr;
    std::vector<uint8_t> bytes;
    if (!readWholeResource(name, bytes, maxFontFileBytes)) return nullptr;
    TFontRaster raster;
    if (!rasteriseFont(bytes.data(), bytes.size(), pixelSize, raster)) return nullptr;
    return buildFace(raster, pixelSize, style);
}

void selectFont(const FontFace& face) {
    currentFace = face;
}

void resetCurrentFont() {
    currentFace = nullptr;
}

void drawString(std::string_view text, float x, float y) {
    const TFontFace* face = activeFace();
    if (!face) return;
    const TDrawState& state = drawState();
    float penX = x + state.originX;
    float penY = y + state.originY;
    for (const char character : text) {
        const TGlyph& glyph = face->glyphs[static_cast<unsigned char>(character)];
        if (!glyph.present) continue;
        if (glyph.width > 0 && glyph.height > 0 && glyph.image.texture) {
            const float offsetX = std::trunc(glyph.offsetX * state.ix + glyph.offsetY * state.iy);
            const float offsetY = std::trunc(glyph.offsetX * state.jx + glyph.offsetY * state.jy);
            const float left = penX + offsetX;
            const float top = penY + offsetY;
            const float w = static_cast<float>(glyph.width);
            const float h = static_cast<float>(glyph.height);
            const float xs[4] = {left, left + w * state.ix, left + w * state.ix + h * state.iy,
                                 left + h * state.iy};
            const float ys[4] = {top, top + w * state.jx, top + w * state.jx + h * state.jy,
                                 top + h * state.jy};
            emitTexturedQuad(glyph.image, xs, ys);
        }
        penX += glyph.advance * state.ix;
        penY += glyph.advance * state.jx;
    }
}

int measureTextWidth(std::string_view text) {
    const TFontFace* face = activeFace();
    if (!face) return 0;
    float width = 0;
    for (const char character : text) {
        const TGlyph& glyph = face->glyphs[static_cast<unsigned char>(character)];
        if (glyph.present) width += glyph.advance;
    }
    return static_cast<int>(width);
}

int fontLineHeight() {
    const TFontFace* face = activeFace();
    return face ? face->lineHeight : 0;
}
