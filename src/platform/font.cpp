// Text: TrueType faces rasterised into one atlas texture, the current face, and laying out and measuring
// lines of 8-bit text. The rasteriser is the build's font codec (codecs/); the atlas is packed here, so
// that every codec lays its glyphs out alike.
//
// Character codes are Latin-1, so code c is Unicode c. All glyphs of a face share one texture, which keeps
// a whole line of text (and every line after it) in one batch.
#include "platform/display.h"

#include "platform/image_decoders.h"
#include "platform/render.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t maxFontFileBytes = size_t{32} << 20;
constexpr int atlasPadding = 2; // keeps neighbours apart when filtered or mipmapped
constexpr int maxAtlasSide = 8192;

FontFace currentFace;
FontFace builtinFace;

const TFontFace* activeFace() {
    if (currentFace) return currentFace.get();
    if (!builtinFace && rendererReady()) builtinFace = makeBuiltinFace();
    return builtinFace.get();
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

// Shelf packing, row by row; the width grows with the total glyph area so the atlas stays near square.
bool packFontAtlas(std::vector<TRasterGlyph>& glyphs, int& atlasWidth, int& atlasHeight) {
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
void fillFontAtlas(TFontRaster& raster) {
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

FontFace loadFontFace(std::string_view name, int pixelSize, int style) {
    if (pixelSize <= 0 || pixelSize > LargestFontPixelSize || !rendererReady()) return nullptr;
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
