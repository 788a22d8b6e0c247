// Pictures and typefaces decoded from bytes in memory, before anything of them reaches the graphics card,
// and pictures encoded as PNG. The codecs behind these are chosen by the build (codecs/): the desktop's
// system libraries (libpng, FreeType) or the single-file stb libraries where there are none.
// Both take whatever bytes they are given and answer false for anything they cannot use in full, so a
// damaged file can be fed to them without a window or a renderer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TDecodedImage {
    int width = 0;
    int height = 0;
    bool ownAlpha = false; // the file carries alpha or a transparent colour
    std::vector<uint8_t> rgba;
};

// Larger than any screen-sized picture; guards against a corrupt header asking for gigabytes.
constexpr int LargestPictureSide = 8192;

// A PNG of any layout, converted to 8-bit RGBA, top row first.
bool decodePng(const uint8_t* bytes, size_t size, TDecodedImage& image);

// One glyph's coverage and where it went in the atlas.
struct TRasterGlyph {
    int code = 0;
    int width = 0, height = 0;
    int left = 0, top = 0;
    float advance = 0;
    std::vector<uint8_t> coverage;
    int atlasX = 0, atlasY = 0;
};

// Every glyph of codes 32..255 at one pixel size, packed into one white RGBA atlas with coverage as alpha.
struct TFontRaster {
    int ascender = 0;
    int lineHeight = 0;
    int atlasWidth = 0;
    int atlasHeight = 0;
    std::vector<TRasterGlyph> glyphs;
    std::vector<uint8_t> atlas;
};

constexpr int LargestFontPixelSize = 128;
// A glyph more than this many times the size asked for comes from a damaged face: rasterising it costs
// time and memory by its area (a hostile face takes minutes), and it could never share the atlas anyway.
constexpr int LargestGlyphInSizes = 4;

// A TrueType or OpenType face (the first in the file) with a Unicode character map; false when there is
// none, no glyph could be drawn or the atlas would be too large for a texture.
bool rasteriseFont(const uint8_t* bytes, size_t size, int pixelSize, TFontRaster& raster);
// For the codecs behind rasteriseFont: places every glyph in an atlas (shelf packing, row by row, the
// width growing with the glyphs' area so the atlas stays near square); false when it would be too large.
bool packFontAtlas(std::vector<TRasterGlyph>& glyphs, int& atlasWidth, int& atlasHeight);
// The atlas's pixels: white everywhere, coverage as alpha, so the drawing colour tints the text.
void fillFontAtlas(TFontRaster& raster);

// PNG bytes of top-down pixels with 3 (RGB) or 4 (RGBA) channels a pixel at zlib level 0..9; false when
// they could not be made.
bool encodePng(const uint8_t* pixels, int width, int height, int channels, int level,
               std::vector<uint8_t>& bytes);
