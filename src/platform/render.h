// The renderer behind display.h, shared by the picture, font and capture modules and by the backends;
// never included by the game.
//
// Everything is drawn into one picture target in logical coordinates (the 800 x 600 screen); the device
// maps them onto however many pixels the target has, so the vertices and batches of a frame are the same
// at every render scale. Geometry goes into a single streaming
// batch of indexed triangles whose vertices carry position, texture coordinates and colour with alpha, so
// colour and alpha changes never break a batch; only a change of texture or blend mode, or a read-back or
// presentation, hands it to the backend. Solid shapes use a 1 x 1 white texture so they batch the same way.
#pragma once

#include "platform/display.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// A texture of the backend's graphics device, known to the core by its number; the device's copy goes
// with the last handle.
struct TTexture {
    uint32_t id = 0;
    int width = 0;
    int height = 0;
    ~TTexture();
};

// The drawing state as the primitives read it; changed only through the display.h setters.
struct TDrawState {
    int red = 255, green = 255, blue = 255;
    float alpha = 1;
    uint8_t alphaByte = 255;
    int blendMode = BlendMask;
    float rotation = 0;
    float scaleX = 1, scaleY = 1;
    float ix = 1, iy = 0, jx = 0, jy = 1;
    float originX = 0, originY = 0;
    int clearRed = 0, clearGreen = 0, clearBlue = 0;
    int defaultPictureFlags = PictureMasked | PictureFiltered;
    int maskRed = 0, maskGreen = 0, maskBlue = 0;
    uint8_t vertexColor[4] = {255, 255, 255, 255}; // colour and alpha byte as every new vertex carries them
};

struct TVertex {
    float x, y;
    float u, v;
    uint8_t color[4];
};

const TDrawState& drawState();

// startRenderer (backend.h) has run: there is a target to draw into.
bool rendererReady();
int logicalWidth();
int logicalHeight();
// The picture target's own pixels, which the logical picture spans whole.
int targetPixelWidth();
int targetPixelHeight();
// The target takes this size at the next clearFrame, where a frame starts; until then it keeps its size
// and picture, so that what was drawn can still be shown and read back.
void requestTargetPixelSize(int width, int height);

// Submits the pending batch. Called before anything that reads or shows the target.
void flushBatch();
// Fills the target with the clear colour, after taking the size asked for.
void clearTarget();
// Reads a rectangle of the logical picture (top-left origin) into rgba, top row first. Each logical pixel
// is the average of the target pixels it is made of (targetPixelAt, window_layout.h): at scale 1 exactly
// the target's pixel, at any scale the same rectangles where they were drawn.
void readPicture(int left, int top, int w, int h, uint8_t* rgba);
// Reads a rectangle of the target's own pixels (top-left origin) into rgba, top row first.
void readTargetPixels(int left, int top, int w, int h, uint8_t* rgba);

// Work that drawing asks for but that need not hold up the frame (a larger picture or text size for a
// new scale, mipmaps): it runs once the frame has been shown, at the start of the next one (its
// clearFrame), so that neither the frame that asked nor the program's first frame waits for it.
void afterFrameShown(std::function<void()> work);
// The frame drawn so far has been shown (presentation module).
void frameShown();

// Reserves room in the batch for vertexCount vertices and indexCount indices drawn with the texture in the
// current blend mode, submitting the batch first when the texture or blend mode differs or it is full.
// Returns the first vertex to fill; *indices receives where the indices go and *base the index of the first
// vertex. Null when the request can never fit.
TVertex* reserveGeometry(uint32_t texture, int vertexCount, int indexCount, uint32_t** indices,
                         uint32_t* base);
uint32_t whiteTexture();

// The frame to draw a picture's frame with at a render scale: its own above none of its larger
// renditions, else the rendition for the scale once made (picture module). The frame must exist.
const TPictureFrame* pictureFrameAtScale(const TPicture& picture, int frame, float scale);

// Draws a frame of a texture as the quad with the given corners in screen coordinates, clockwise from the
// frame's top-left.
void emitTexturedQuad(const TPictureFrame& frame, const float (&xs)[4], const float (&ys)[4]);

// Creates a texture from top-down RGBA pixels with the filtering that the picture flags ask for; null when
// the size is zero or beyond what the hardware takes.
std::shared_ptr<TTexture> createTexture(const uint8_t* rgba, int width, int height, int flags);

// Reads every byte of a named resource; false when it cannot be opened or read or is larger than maxBytes.
bool readWholeResource(std::string_view name, std::vector<uint8_t>& bytes, size_t maxBytes);

// The font module's part of resetting the drawing state: the built-in face becomes current.
void resetCurrentFont();
// Builds the small bitmap face that a null selectFont stands for, its pixels drawn at the render scale
// given (their squares anti-aliased where they fall between target pixels); needs the renderer.
FontFace makeBuiltinFace(float scale);

// Benchmark only: the way batches and clears reach the backend, so that a benchmark can put a timer
// around them. The game never changes it; the shipped path does no timing of its own.
struct TSubmission {
    void (*drawTriangles)(const TVertex* vertices, int vertexCount, const uint32_t* indices, int indexCount,
                          uint32_t texture, int blendMode);
    void (*clear)(int red, int green, int blue);
};
// The backend's own functions.
TSubmission backendSubmission();
void setSubmission(const TSubmission& submission);
