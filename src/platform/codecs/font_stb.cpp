// The font codec where FreeType is not at hand (the browser build): stb_truetype rasterises every glyph
// of codes 32..255. The metrics are rounded as FreeType rounds a hinted face's, so lines are as high and
// as wide as on the desktop and the game's layout does not move; only the glyphs' anti-aliasing differs.
#include "platform/image_decoders.h"

#include <stb/stb_truetype.h>

#include <cmath>
#include <cstddef>

namespace {

bool rasteriseGlyph(const stbtt_fontinfo& font, int index, float scale, int pixelSize, TRasterGlyph& glyph) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetGlyphBitmapBox(&font, index, scale, scale, &x0, &y0, &x1, &y1);
    const int largest = pixelSize * LargestGlyphInSizes;
    if (x1 - x0 > largest || y1 - y0 > largest || x1 < x0 || y1 < y0) return false;
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(&font, index, &advance, &bearing);
    glyph.left = x0;
    glyph.top = -y0;
    glyph.advance = std::round(static_cast<float>(advance) * scale);
    glyph.width = x1 - x0;
    glyph.height = y1 - y0;
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    if (glyph.width > 0 && glyph.height > 0)
        stbtt_MakeGlyphBitmap(&font, glyph.coverage.data(), glyph.width, glyph.height, glyph.width, scale,
                              scale, index);
    return true;
}

} // namespace

// stb_truetype trusts the file's offsets, so a damaged face can read outside the bytes; the browser build
// only ever opens the face it carries.
bool rasteriseFont(const uint8_t* bytes, size_t size, int pixelSize, TFontRaster& raster) {
    if (pixelSize <= 0 || pixelSize > LargestFontPixelSize || size < 12) return false;
    const int offset = stbtt_GetFontOffsetForIndex(bytes, 0);
    stbtt_fontinfo font;
    if (offset < 0 || !stbtt_InitFont(&font, bytes, offset)) return false;
    const float scale = stbtt_ScaleForMappingEmToPixels(&font, static_cast<float>(pixelSize));
    for (int code = 32; code < 256; ++code) {
        const int index = stbtt_FindGlyphIndex(&font, code);
        if (index == 0) continue;
        TRasterGlyph glyph;
        glyph.code = code;
        if (rasteriseGlyph(font, index, scale, pixelSize, glyph)) raster.glyphs.push_back(std::move(glyph));
    }
    if (raster.glyphs.empty() || !packFontAtlas(raster.glyphs, raster.atlasWidth, raster.atlasHeight))
        return false;
    fillFontAtlas(raster);
    int ascent = 0, descent = 0, lineGap = 0;
    stbtt_GetFontVMetrics(&font, &ascent, &descent, &lineGap);
    // A hinted face's ascender is rounded up to whole pixels and its line height to the nearest.
    raster.ascender = static_cast<int>(std::ceil(static_cast<float>(ascent) * scale));
    raster.lineHeight = static_cast<int>(std::lround(static_cast<float>(ascent - descent + lineGap) * scale));
    return true;
}
