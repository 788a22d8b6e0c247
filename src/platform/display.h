// Display, drawing state and drawing operations: the only way the game puts anything on screen.
//
// One implicit 800 x 600 display and one implicit drawing state (colour, alpha, blend mode, rotation,
// scale, origin), used from the game thread only. Everything is drawn into an 800 x 600 target that is
// scaled onto the real window with its aspect kept, so pixel reads and screenshots always see the logical
// picture whatever the desktop resolution.
//
// Sections: display and frame · drawing state · primitives · pictures and fonts · screen capture ·
// statistics for tests and the benchmark.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct TTexture; // a GPU texture; owned through shared handles, defined by the renderer

// One frame of a picture: a rectangle of a texture, so that all frames of a strip share one texture and
// glow lines of different frames can be drawn in one batch.
struct TPictureFrame {
    std::shared_ptr<TTexture> texture;
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

struct TPicture {
    int width = 0; // of one frame, in pixels
    int height = 0;
    float handleX = 0;
    float handleY = 0;
    int flags = 0;
    std::vector<TPictureFrame> frames;
};
using Picture = std::shared_ptr<TPicture>;

struct TGlyph {
    bool present = false;
    TPictureFrame image;
    int width = 0, height = 0;
    int offsetX = 0; // from the pen position to the glyph's top-left corner
    int offsetY = 0;
    float advance = 0;
};

struct TFontFace {
    int pixelSize = 0;
    int lineHeight = 0;
    int ascender = 0;
    std::array<TGlyph, 256> glyphs; // indexed by the 8-bit character code
};
using FontFace = std::shared_ptr<TFontFace>;

struct TPixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // row-major from the top-left, 4 bytes a pixel

    std::array<uint8_t, 4> pixel(int x, int y) const {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};
using PixelBuffer = std::shared_ptr<TPixelBuffer>;

enum BlendMode { BlendMask = 1, BlendSolid = 2, BlendAlpha = 3, BlendAdditive = 4, BlendMultiply = 5 };
enum PictureFlags { PictureMasked = 1, PictureFiltered = 2, PictureMipmapped = 4 };

// --- Display and frame ---------------------------------------------------------------------------------
// depth 0 opens a window on the desktop; a non-zero depth asks for full screen (Alt+Enter and F11 switch
// between the two for the session). hertz 0 leaves frames unpaced (tests and the benchmark). Returns false
// when no display or OpenGL context can be had. Calling it again keeps the window and starts over with the
// drawing state and the pacing.
bool openGraphicsWindow(int width, int height, int depth, int hertz, int flags);
void setWindowTitle(std::string_view title);
void hidePointer();
int screenWidth();
int screenHeight();
void clearFrame();
void setClearColor(int r, int g, int b);
// sync -1 presents at hertz frames a second: on vertical blanks where the display proved a steady refresh
// (each frame held for as many refreshes as keep that average), by the clock where it did not; 0 does not
// wait; 1 waits for the vertical blank.
void presentFrame(int sync);

// --- Drawing state -------------------------------------------------------------------------------------
// Back to the values openGraphicsWindow starts with: white, opaque, mask mode, no rotation, scale 1, origin
// (0, 0), black clear colour, the built-in face, default picture flags 3 and mask colour black.
void resetDrawingState();
void setDrawColor(int r, int g, int b);
void setDrawAlpha(float alpha);
void setBlendMode(int mode);
void setDrawRotation(float degrees);
void setDrawScale(float sx, float sy);
void setDrawTransform(float degrees, float sx, float sy);
void setDrawOrigin(float x, float y);

// --- Primitives ----------------------------------------------------------------------------------------
void fillRect(float x, float y, float w, float h);
void fillOval(float x, float y, float w, float h);
void plotPoint(float x, float y);
void drawPicture(const Picture& picture, float x, float y, int frame);
void drawGlowLine(const Picture& picture, int frame, float x1, float y1, float x2, float y2, float width,
                  int capped);
void beginGlowBatch();
void endGlowBatch();
void drawString(std::string_view text, float x, float y);
int measureTextWidth(std::string_view text);
int fontLineHeight();

// --- Pictures and fonts --------------------------------------------------------------------------------
// Names are opened through the asset store, so "incbin::glowing.png" and plain paths both work.
// A missing, truncated or corrupt file gives a null handle.
Picture loadPicture(std::string_view name, int flags);
Picture loadPictureStrip(std::string_view name, int cellWidth, int cellHeight, int firstCell, int cellCount,
                         int flags);
void centrePictureHandle(const Picture& picture);
FontFace loadFontFace(std::string_view name, int pixelSize, int style);
void selectFont(const FontFace& face); // null selects the small built-in face

// --- Screen capture ------------------------------------------------------------------------------------
PixelBuffer grabScreenRegion(int x, int y, int w, int h);
int savePixelBufferPng(const PixelBuffer& buffer, std::string_view path, int level);
// The PNG file savePixelBufferPng would write, as bytes; false for an empty or malformed buffer.
bool encodePixelBufferPng(const PixelBuffer& buffer, int level, std::vector<uint8_t>& bytes);

// --- Statistics (tests and the benchmark read these; the game never does) ----------------------------
struct TRenderStats {
    long drawCalls = 0;
    long vertices = 0;
    long glowLines = 0;
};
// renderStats first submits whatever is still batched, so the figures include it; flushDrawing only
// submits (the benchmark times the building and submission of a frame with it). Every backend counts
// alike: the figures are taken as the batches leave the core.
const TRenderStats& renderStats();
void resetRenderStats();
void flushDrawing();
// Benchmark only: while on, every glow line goes out as a draw call of its own, as an immediate-mode
// renderer would draw it, so that what batching saves can be measured. Off costs the normal path nothing
// but a test of a flag.
void setGlowLinePerDrawCall(bool on);
// The refresh rate frames are spread over, 0 while the clock paces them or nothing does.
int pacingRefreshHertz();
