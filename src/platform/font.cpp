// Text: TrueType faces rasterised into one atlas texture, the current face, and laying out and measuring
// lines of 8-bit text. The rasteriser is the build's font codec (codecs/); the atlas is packed here, so
// that every codec lays its glyphs out alike.
//
// Character codes are Latin-1, so code c is Unicode c. All glyphs of a face share one texture, which keeps
// a whole line of text (and every line after it) in one batch.
//
// Above a render scale of 1 text is laid out exactly as at 1 (the face's own advances, in logical pixels)
// but each glyph is drawn from the face made again at the scale's size, placed on whole target pixels, so
// letters keep crisp edges on any display. That face is made once a frame has asked for it; until then
// the glyphs of the face itself are stretched.
#include "platform/display.h"

#include "platform/image_decoders.h"
#include "platform/render.h"

#include <algorithm>
#include <cmath>
#include <string>

// What a face needs to be made again at another scale.
struct TFaceSizes {
    std::string source; // the resource the face was rasterised from; empty for the built-in face
    int pixelSize = 0;
    int style = 0;
    struct TMade {
        int scale;     // scaleKey
        FontFace face; // null while it is being made, or if it could not be
    };
    std::vector<TMade> made;
};

namespace {

constexpr size_t maxFontFileBytes = size_t{32} << 20;
constexpr int atlasPadding = 2; // keeps neighbours apart when filtered or mipmapped
constexpr int maxAtlasSide = 8192;

FontFace currentFace;
FontFace builtinFace;

// A render scale as the key of a face made for it: in 64ths, so that 1.8 and 1.8000001 are one size.
int scaleKey(float scale) {
    return static_cast<int>(std::lround(scale * 64.0f));
}

// The built-in face is made again at a scale from its bitmap, not from a file.
FontFace markedAsBuiltin(FontFace face) {
    if (face) face->sizes = std::make_shared<TFaceSizes>();
    return face;
}

const TFontFace* activeFace() {
    if (currentFace) return currentFace.get();
    if (!builtinFace && rendererReady()) builtinFace = markedAsBuiltin(makeBuiltinFace(1));
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

namespace {

FontFace rasteriseFace(std::string_view name, int pixelSize, int style) {
    if (pixelSize <= 0 || pixelSize > LargestFontPixelSize || !rendererReady()) return nullptr;
    std::vector<uint8_t> bytes;
    if (!readWholeResource(name, bytes, maxFontFileBytes)) return nullptr;
    TFontRaster raster;
    if (!rasteriseFont(bytes.data(), bytes.size(), pixelSize, raster)) return nullptr;
    return buildFace(raster, pixelSize, style);
}

} // namespace

FontFace loadFontFace(std::string_view name, int pixelSize, int style) {
    FontFace face = rasteriseFace(name, pixelSize, style);
    if (face) face->sizes = std::make_shared<TFaceSizes>(TFaceSizes{std::string(name), pixelSize, style, {}});
    return face;
}

namespace {

// The face made for this scale, or null while there is none yet (the first call asks for it).
const TFontFace* faceForScale(const TFontFace& face, float scale) {
    if (!face.sizes) return nullptr;
    const int key = scaleKey(scale);
    for (const TFaceSizes::TMade& made : face.sizes->made)
        if (made.scale == key) return made.face.get();
    face.sizes->made.push_back({key, nullptr});
    afterFrameShown([weak = std::weak_ptr<TFaceSizes>(face.sizes), key] {
        const std::shared_ptr<TFaceSizes> sizes = weak.lock();
        if (!sizes) return;
        const float scale = static_cast<float>(key) / 64.0f;
        const FontFace made =
            sizes->source.empty()
                ? makeBuiltinFace(scale)
                : rasteriseFace(sizes->source, static_cast<int>(std::lround(sizes->pixelSize * scale)),
                                sizes->style);
        for (TFaceSizes::TMade& entry : sizes->made)
            if (entry.scale == key) entry.face = made;
    });
    return nullptr;
}

// One glyph's quad: the corners of a width x height box at (left, top), through the drawing matrix.
void emitGlyph(const TGlyph& glyph, float left, float top, float w, float h, const TDrawState& state) {
    const float xs[4] = {left, left + w * state.ix, left + w * state.ix + h * state.iy, left + h * state.iy};
    const float ys[4] = {top, top + w * state.jx, top + w * state.jx + h * state.jy, top + h * state.jy};
    emitTexturedQuad(glyph.image, xs, ys);
}

bool drawable(const TGlyph& glyph) {
    return glyph.present && glyph.width > 0 && glyph.height > 0 && glyph.image.texture;
}

// Text through the plain drawing matrix: without rotation or scale each glyph starts on a whole target
// pixel, so a glyph made at the scale lands on the pixels it was made for.
void drawScaledString(std::string_view text, float penX, float penY, const TFontFace& face,
                      const TFontFace& scaled, const TDrawState& state) {
    const float sx = static_cast<float>(targetPixelWidth()) / static_cast<float>(logicalWidth());
    const float sy = static_cast<float>(targetPixelHeight()) / static_cast<float>(logicalHeight());
    const bool plain = state.ix == 1 && state.iy == 0 && state.jx == 0 && state.jy == 1;
    for (const char character : text) {
        const TGlyph& glyph = face.glyphs[static_cast<unsigned char>(character)];
        if (!glyph.present) continue;
        const TGlyph& image = scaled.glyphs[static_cast<unsigned char>(character)];
        if (drawable(image)) {
            const float w = static_cast<float>(image.width) / sx;
            const float h = static_cast<float>(image.height) / sy;
            if (plain) {
                const float left = (std::round(penX * sx) + static_cast<float>(image.offsetX)) / sx;
                const float top = (std::round(penY * sy) + static_cast<float>(image.offsetY)) / sy;
                emitGlyph(image, left, top, w, h, state);
            } else {
                const float offsetX = static_cast<float>(image.offsetX) / sx;
                const float offsetY = static_cast<float>(image.offsetY) / sy;
                emitGlyph(image, penX + offsetX * state.ix + offsetY * state.iy,
                          penY + offsetX * state.jx + offsetY * state.jy, w, h, state);
            }
        }
        penX += glyph.advance * state.ix;
        penY += glyph.advance * state.jx;
    }
}

} // namespace

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
    const bool scaled = targetPixelWidth() != logicalWidth() || targetPixelHeight() != logicalHeight();
    if (const TFontFace* made = scaled ? faceForScale(*face, renderScale()) : nullptr) {
        drawScaledString(text, penX, penY, *face, *made, state);
        return;
    }
    for (const char character : text) {
        const TGlyph& glyph = face->glyphs[static_cast<unsigned char>(character)];
        if (!glyph.present) continue;
        if (drawable(glyph)) {
            const float offsetX = std::trunc(glyph.offsetX * state.ix + glyph.offsetY * state.iy);
            const float offsetY = std::trunc(glyph.offsetX * state.jx + glyph.offsetY * state.jy);
            emitGlyph(glyph, penX + offsetX, penY + offsetY, static_cast<float>(glyph.width),
                      static_cast<float>(glyph.height), state);
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
