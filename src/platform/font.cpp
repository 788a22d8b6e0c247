// Text: TrueType faces rasterised by FreeType into one atlas texture, the current face, and laying out
// and measuring lines of 8-bit text.
//
// Character codes are Latin-1, so code c is Unicode c. All glyphs of a face share one texture, which keeps
// a whole line of text (and every line after it) in one batch.
#include "platform/display.h"

#include "platform/render.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t maxFontFileBytes = size_t{32} << 20;
constexpr int maxPixelSize = 128;
constexpr int atlasPadding = 2; // keeps neighbours apart when filtered or mipmapped
constexpr int maxAtlasSide = 8192;

FT_Library freetype = nullptr;
FontFace currentFace;
FontFace builtinFace;

const TFontFace* activeFace() {
    if (currentFace) return currentFace.get();
    if (!builtinFace && rendererReady()) builtinFace = makeBuiltinFace();
    return builtinFace.get();
}

// One glyph's coverage before it goes into the atlas.
struct TRasterGlyph {
    int code = 0;
    int width = 0, height = 0;
    int left = 0, top = 0;
    float advance = 0;
    std::vector<uint8_t> coverage;
    int atlasX = 0, atlasY = 0;
};

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

bool rasterise(FT_Face face, std::vector<TRasterGlyph>& glyphs) {
    for (int code = 32; code < 256; ++code) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
        if (index == 0) continue;
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) continue;
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

FontFace buildFace(FT_Face face, int pixelSize, int style) {
    std::vector<TRasterGlyph> glyphs;
    int atlasWidth = 0, atlasHeight = 0;
    if (!rasterise(face, glyphs) || !packAtlas(glyphs, atlasWidth, atlasHeight)) return nullptr;

    // White everywhere, coverage as alpha, so the drawing colour tints the text.
    std::vector<uint8_t> atlas(static_cast<size_t>(atlasWidth) * atlasHeight * 4, 255);
    for (size_t i = 3; i < atlas.size(); i += 4)
        atlas[i] = 0;
    for (const TRasterGlyph& glyph : glyphs)
        for (int y = 0; y < glyph.height; ++y)
            for (int x = 0; x < glyph.width; ++x)
                atlas[(static_cast<size_t>(glyph.atlasY + y) * atlasWidth + glyph.atlasX + x) * 4 + 3] =
                    glyph.coverage[static_cast<size_t>(y) * glyph.width + x];
    const int flags = (style & 4) ? (PictureFiltered | PictureMipmapped) : PictureFiltered;
    std::shared_ptr<TTexture> texture = createTexture(atlas.data(), atlasWidth, atlasHeight, flags);
    if (!texture) return nullptr;

    auto result = std::make_shared<TFontFace>();
    result->pixelSize = pixelSize;
    result->ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    result->lineHeight = static_cast<int>((face->size->metrics.height + 63) >> 6);
    const float width = static_cast<float>(atlasWidth);
    const float height = static_cast<float>(atlasHeight);
    for (const TRasterGlyph& raster : glyphs) {
        TGlyph& glyph = result->glyphs[static_cast<size_t>(raster.code)];
        glyph.present = true;
        glyph.image =
            TPictureFrame{texture, raster.atlasX / width, raster.atlasY / height,
                          (raster.atlasX + raster.width) / width, (raster.atlasY + raster.height) / height};
        glyph.width = raster.width;
        glyph.height = raster.height;
        glyph.offsetX = raster.left;
        glyph.offsetY = result->ascender - raster.top;
        glyph.advance = raster.advance;
    }
    return result;
}

} // namespace

FontFace loadFontFace(std::string_view name, int pixelSize, int style) {
    if (pixelSize <= 0 || pixelSize > maxPixelSize || !rendererReady()) return nullptr;
    if (!freetype && FT_Init_FreeType(&freetype) != 0) {
        freetype = nullptr;
        return nullptr;
    }
    // FreeType reads the bytes while the face is open; the face is closed again before they go.
    std::vector<uint8_t> bytes;
    if (!readWholeResource(name, bytes, maxFontFileBytes)) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(freetype, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &face) != 0)
        return nullptr;
    FontFace result;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0 && FT_Set_Pixel_Sizes(face, 0, pixelSize) == 0)
        result = buildFace(face, pixelSize, style);
    FT_Done_Face(face);
    return result;
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
