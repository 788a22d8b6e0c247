// The renderer: the batch, the drawing state and the primitives (rectangles, ovals, points, pictures,
// glow lines), handing each finished batch to the backend.
//
// Sections: batch and target · textures · drawing state · primitives · statistics.
//
// The batch is fixed-size and allocated once, so steady-state frames never touch the heap, and its arrays
// never move.
#include "platform/render.h"

#include "platform/assets.h"
#include "platform/backend.h"
#include "platform/window_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

namespace {

bool ready = false;
int targetWidth = 800; // the logical screen, also before the display opens
int targetHeight = 600;
// The target's own pixels, and the size it takes at the next clear.
int pixelWidth = 800, pixelHeight = 600;
int wantedPixelWidth = 800, wantedPixelHeight = 600;
std::shared_ptr<TTexture> white;
// Work asked for since the last frame was shown, and work whose frame has been shown.
std::vector<std::function<void()>> workAsked, workDue;

void runDueWork() {
    if (workDue.empty()) return;
    std::vector<std::function<void()>> due;
    due.swap(workDue);
    for (std::function<void()>& work : due)
        work();
}

// --- Batch ---------------------------------------------------------------------------------------------

// Room for 20 000 capped glow lines (8 vertices each) in one draw call; the grid alone is 1280 a frame.
constexpr int batchVertexCapacity = 1 << 18;
constexpr int batchIndexCapacity = batchVertexCapacity * 3;

struct TBatch {
    std::unique_ptr<TVertex[]> vertices;
    std::unique_ptr<uint32_t[]> indices;
    int vertexCount = 0;
    int indexCount = 0;
    uint32_t texture = 0;
    int blendMode = BlendMask;
};

// Never destroyed: textures held by other modules' statics may still be released after this module's
// statics are gone at exit, and their release looks at the batch.
TBatch& batch = *new TBatch;

TDrawState state;
TRenderStats stats;
bool glowLinePerDrawCall = false;
TSubmission submission{gpuDrawTriangles, gpuClear};

// --- Drawing state helpers -----------------------------------------------------------------------------

int clampByte(int value) {
    return std::clamp(value, 0, 255);
}

void rebuildMatrix() {
    const double radians = static_cast<double>(state.rotation) * std::numbers::pi / 180.0;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    state.ix = c * state.scaleX;
    state.iy = -s * state.scaleY;
    state.jx = s * state.scaleX;
    state.jy = c * state.scaleY;
}

void rebuildVertexColor() {
    state.vertexColor[0] = static_cast<uint8_t>(state.red);
    state.vertexColor[1] = static_cast<uint8_t>(state.green);
    state.vertexColor[2] = static_cast<uint8_t>(state.blue);
    state.vertexColor[3] = state.alphaByte;
}

void putVertex(TVertex& vertex, float x, float y, float u, float v) {
    vertex.x = x;
    vertex.y = y;
    vertex.u = u;
    vertex.v = v;
    std::memcpy(vertex.color, state.vertexColor, sizeof vertex.color); // one 32-bit store
}

void putQuadIndices(uint32_t* indices, uint32_t base) {
    indices[0] = base;
    indices[1] = base + 1;
    indices[2] = base + 2;
    indices[3] = base;
    indices[4] = base + 2;
    indices[5] = base + 3;
}

// Target pixels per logical pixel across, as pictures choose their renditions by it.
float pictureScale = 1;

const TPictureFrame* pictureFrame(const Picture& picture, int frame) {
    if (!picture || frame < 0 || frame >= static_cast<int>(picture->frames.size())) return nullptr;
    const TPictureFrame* found = pictureFrameAtScale(*picture, frame, pictureScale);
    return found->texture ? found : nullptr;
}

// Solid shapes: a quad or polygon of the white texture, corners through the matrix from a local point.
void emitSolidQuad(const float (&xs)[4], const float (&ys)[4]) {
    uint32_t* indices = nullptr;
    uint32_t base = 0;
    TVertex* vertices = reserveGeometry(whiteTexture(), 4, 6, &indices, &base);
    if (!vertices) return;
    for (int corner = 0; corner < 4; ++corner)
        putVertex(vertices[corner], xs[corner], ys[corner], 0.5f, 0.5f);
    putQuadIndices(indices, base);
}

// An absurdly large oval would need millions of vertices; this many already look smooth at any size that
// fits on the screen.
constexpr int maxOvalVertices = 4096;

} // namespace

TTexture::~TTexture() {
    if (!ready || id == 0) return;
    if (batch.texture == id && batch.indexCount > 0) flushBatch();
    gpuDeleteTexture(id);
}

// --- Batch and target ----------------------------------------------------------------------------------

bool startRenderer(int width, int height) {
    if (ready) return targetWidth == width && targetHeight == height;
    if (!gpuSetTargetSize(width, height)) return false;
    targetWidth = pixelWidth = wantedPixelWidth = width;
    targetHeight = pixelHeight = wantedPixelHeight = height;
    if (!batch.vertices) {
        // Left unwritten: clearing 8 MB up front only costs start-up time; frames write what they use.
        batch.vertices.reset(new TVertex[batchVertexCapacity]);
        batch.indices.reset(new uint32_t[batchIndexCapacity]);
    }
    ready = true;
    const uint8_t whitePixel[4] = {255, 255, 255, 255};
    white = createTexture(whitePixel, 1, 1, 0);
    return white != nullptr;
}

bool rendererReady() {
    return ready;
}
int logicalWidth() {
    return targetWidth;
}
int logicalHeight() {
    return targetHeight;
}
int screenWidth() {
    return targetWidth;
}
int screenHeight() {
    return targetHeight;
}
int targetPixelWidth() {
    return pixelWidth;
}
int targetPixelHeight() {
    return pixelHeight;
}

void requestTargetPixelSize(int width, int height) {
    wantedPixelWidth = std::max(width, targetWidth);
    wantedPixelHeight = std::max(height, targetHeight);
}

void clearTarget() {
    if (!ready) return;
    runDueWork();
    // Whatever is still batched would be painted over anyway.
    batch.vertexCount = 0;
    batch.indexCount = 0;
    if (wantedPixelWidth != pixelWidth || wantedPixelHeight != pixelHeight) {
        if (gpuSetTargetSize(wantedPixelWidth, wantedPixelHeight)) {
            pixelWidth = wantedPixelWidth;
            pixelHeight = wantedPixelHeight;
            pictureScale = static_cast<float>(pixelWidth) / static_cast<float>(targetWidth);
        } else {
            // Larger than the device takes: the size it has stays.
            wantedPixelWidth = pixelWidth;
            wantedPixelHeight = pixelHeight;
        }
    }
    submission.clear(state.clearRed, state.clearGreen, state.clearBlue);
}

void clearFrame() {
    clearTarget();
}

void readTargetPixels(int left, int top, int w, int h, uint8_t* rgba) {
    if (!ready || w <= 0 || h <= 0) return;
    flushBatch();
    // The device counts rows from the bottom.
    gpuReadPixels(left, pixelHeight - top - h, w, h, rgba);
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    for (int row = 0; row < h / 2; ++row) {
        uint8_t* upper = rgba + row * rowBytes;
        uint8_t* lower = rgba + (h - 1 - row) * rowBytes;
        std::swap_ranges(upper, upper + rowBytes, lower);
    }
}

void readPicture(int left, int top, int w, int h, uint8_t* rgba) {
    if (!ready || w <= 0 || h <= 0) return;
    if (pixelWidth == targetWidth && pixelHeight == targetHeight) {
        readTargetPixels(left, top, w, h, rgba);
        return;
    }
    // The target pixels of each logical column and row, then the average over each block.
    std::vector<int> columns(static_cast<size_t>(w) + 1), rows(static_cast<size_t>(h) + 1);
    for (int i = 0; i <= w; ++i)
        columns[i] = targetPixelAt(left + i, targetWidth, pixelWidth);
    for (int i = 0; i <= h; ++i)
        rows[i] = targetPixelAt(top + i, targetHeight, pixelHeight);
    const int spanWidth = columns[w] - columns[0];
    const int spanHeight = rows[h] - rows[0];
    std::vector<uint8_t> pixels(static_cast<size_t>(spanWidth) * spanHeight * 4);
    readTargetPixels(columns[0], rows[0], spanWidth, spanHeight, pixels.data());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int row = rows[y]; row < rows[y + 1]; ++row)
                for (int column = columns[x]; column < columns[x + 1]; ++column) {
                    const uint8_t* pixel = &pixels[(static_cast<size_t>(row - rows[0]) * spanWidth +
                                                    static_cast<size_t>(column - columns[0])) *
                                                   4];
                    for (int channel = 0; channel < 4; ++channel)
                        sum[channel] += pixel[channel];
                }
            const uint32_t count =
                static_cast<uint32_t>((rows[y + 1] - rows[y]) * (columns[x + 1] - columns[x]));
            uint8_t* out = rgba + (static_cast<size_t>(y) * w + x) * 4;
            for (int channel = 0; channel < 4; ++channel)
                out[channel] = static_cast<uint8_t>((sum[channel] + count / 2) / std::max(count, 1u));
        }
}

void afterFrameShown(std::function<void()> work) {
    workAsked.push_back(std::move(work));
}

void frameShown() {
    for (std::function<void()>& work : workAsked)
        workDue.push_back(std::move(work));
    workAsked.clear();
}

void flushBatch() {
    if (batch.indexCount == 0) return;
    submission.drawTriangles(batch.vertices.get(), batch.vertexCount, batch.indices.get(), batch.indexCount,
                             batch.texture, batch.blendMode);
    stats.drawCalls += 1;
    stats.vertices += batch.vertexCount;
    batch.vertexCount = 0;
    batch.indexCount = 0;
}

TVertex* reserveGeometry(uint32_t texture, int vertexCount, int indexCount, uint32_t** indices,
                         uint32_t* base) {
    if (!ready || vertexCount > batchVertexCapacity || indexCount > batchIndexCapacity) return nullptr;
    if (batch.indexCount > 0 && (batch.texture != texture || batch.blendMode != state.blendMode))
        flushBatch();
    if (batch.vertexCount + vertexCount > batchVertexCapacity ||
        batch.indexCount + indexCount > batchIndexCapacity)
        flushBatch();
    batch.texture = texture;
    batch.blendMode = state.blendMode;
    *base = static_cast<uint32_t>(batch.vertexCount);
    *indices = batch.indices.get() + batch.indexCount;
    TVertex* vertices = batch.vertices.get() + batch.vertexCount;
    batch.vertexCount += vertexCount;
    batch.indexCount += indexCount;
    return vertices;
}

uint32_t whiteTexture() {
    return white ? white->id : 0;
}

void emitTexturedQuad(const TPictureFrame& frame, const float (&xs)[4], const float (&ys)[4]) {
    uint32_t* indices = nullptr;
    uint32_t base = 0;
    TVertex* vertices = reserveGeometry(frame.texture->id, 4, 6, &indices, &base);
    if (!vertices) return;
    putVertex(vertices[0], xs[0], ys[0], frame.u0, frame.v0);
    putVertex(vertices[1], xs[1], ys[1], frame.u1, frame.v0);
    putVertex(vertices[2], xs[2], ys[2], frame.u1, frame.v1);
    putVertex(vertices[3], xs[3], ys[3], frame.u0, frame.v1);
    putQuadIndices(indices, base);
}

// --- Textures ------------------------------------------------------------------------------------------

std::shared_ptr<TTexture> createTexture(const uint8_t* rgba, int width, int height, int flags) {
    if (!ready || width <= 0 || height <= 0) return nullptr;
    // Mipmaps matter only where a picture is drawn smaller than it is, and making the first ones costs a
    // software renderer a shader compilation (some 70 ms here): they are made once a frame has been
    // shown, not on the way to the first one. Until then the picture samples its full size.
    const uint32_t id = gpuCreateTexture(rgba, width, height, flags & ~PictureMipmapped);
    if (id == 0) return nullptr;
    auto texture = std::make_shared<TTexture>();
    texture->id = id;
    texture->width = width;
    texture->height = height;
    if (flags & PictureMipmapped)
        afterFrameShown([weak = std::weak_ptr<TTexture>(texture), filtered = (flags & PictureFiltered) != 0] {
            if (const std::shared_ptr<TTexture> alive = weak.lock()) gpuMakeMipmaps(alive->id, filtered);
        });
    return texture;
}

bool readWholeResource(std::string_view name, std::vector<uint8_t>& bytes, size_t maxBytes) {
    const std::unique_ptr<TStream> stream = openStream(name, false);
    if (!stream) return false;
    const int64_t size = stream->size();
    if (size <= 0 || static_cast<uint64_t>(size) > maxBytes) return false;
    bytes.resize(static_cast<size_t>(size));
    return stream->read(bytes.data(), bytes.size()) == bytes.size();
}

// --- Drawing state -------------------------------------------------------------------------------------

const TDrawState& drawState() {
    return state;
}

void resetDrawingState() {
    state = TDrawState{};
    rebuildMatrix();
    rebuildVertexColor();
    resetCurrentFont();
}

void setClearColor(int r, int g, int b) {
    state.clearRed = clampByte(r);
    state.clearGreen = clampByte(g);
    state.clearBlue = clampByte(b);
}

void setDrawColor(int r, int g, int b) {
    state.red = clampByte(r);
    state.green = clampByte(g);
    state.blue = clampByte(b);
    rebuildVertexColor();
}

void setDrawAlpha(float alpha) {
    // NaN is taken as fully transparent rather than left to the conversion.
    state.alpha = (alpha >= 0.0f) ? std::min(alpha, 1.0f) : 0.0f;
    state.alphaByte = static_cast<uint8_t>(state.alpha * 255.0f);
    rebuildVertexColor();
}

void setBlendMode(int mode) {
    // Only the mode is recorded: the batch is submitted when something is drawn in a different one.
    if (mode < BlendMask || mode > BlendMultiply) return;
    state.blendMode = mode;
}

void setDrawRotation(float degrees) {
    state.rotation = degrees;
    rebuildMatrix();
}

void setDrawScale(float sx, float sy) {
    state.scaleX = sx;
    state.scaleY = sy;
    rebuildMatrix();
}

void setDrawTransform(float degrees, float sx, float sy) {
    state.rotation = degrees;
    state.scaleX = sx;
    state.scaleY = sy;
    rebuildMatrix();
}

void setDrawOrigin(float x, float y) {
    state.originX = x;
    state.originY = y;
}

// --- Primitives ----------------------------------------------------------------------------------------

void fillRect(float x, float y, float w, float h) {
    const float px = x + state.originX;
    const float py = y + state.originY;
    const float localX[4] = {0, w, w, 0};
    const float localY[4] = {0, 0, h, h};
    float xs[4], ys[4];
    for (int corner = 0; corner < 4; ++corner) {
        xs[corner] = px + localX[corner] * state.ix + localY[corner] * state.iy;
        ys[corner] = py + localX[corner] * state.jx + localY[corner] * state.jy;
    }
    emitSolidQuad(xs, ys);
}

void fillOval(float x, float y, float w, float h) {
    const float span = std::fabs(w) / 2 + std::fabs(h) / 2;
    if (!std::isfinite(span)) return;
    const int count = std::clamp(static_cast<int>(span), 12, maxOvalVertices);
    uint32_t* indices = nullptr;
    uint32_t base = 0;
    TVertex* vertices = reserveGeometry(whiteTexture(), count, (count - 2) * 3, &indices, &base);
    if (!vertices) return;
    const float px = x + state.originX;
    const float py = y + state.originY;
    const float radiusX = w / 2;
    const float radiusY = h / 2;
    for (int k = 0; k < count; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / count;
        const float localX = radiusX + radiusX * static_cast<float>(std::cos(angle));
        const float localY = radiusY + radiusY * static_cast<float>(std::sin(angle));
        putVertex(vertices[k], px + localX * state.ix + localY * state.iy,
                  py + localX * state.jx + localY * state.jy, 0.5f, 0.5f);
    }
    for (int k = 1; k + 1 < count; ++k) {
        *indices++ = base;
        *indices++ = base + static_cast<uint32_t>(k);
        *indices++ = base + static_cast<uint32_t>(k + 1);
    }
}

void plotPoint(float x, float y) {
    // The one pixel that contains the point.
    const float px = std::floor(x + state.originX);
    const float py = std::floor(y + state.originY);
    const float xs[4] = {px, px + 1, px + 1, px};
    const float ys[4] = {py, py, py + 1, py + 1};
    emitSolidQuad(xs, ys);
}

void drawPicture(const Picture& picture, float x, float y, int frame) {
    const TPictureFrame* image = pictureFrame(picture, frame);
    if (!image) return;
    const float px = x + state.originX;
    const float py = y + state.originY;
    const float left = -picture->handleX;
    const float top = -picture->handleY;
    const float right = static_cast<float>(picture->width) - picture->handleX;
    const float bottom = static_cast<float>(picture->height) - picture->handleY;
    const float localX[4] = {left, right, right, left};
    const float localY[4] = {top, top, bottom, bottom};
    float xs[4], ys[4];
    for (int corner = 0; corner < 4; ++corner) {
        xs[corner] = px + localX[corner] * state.ix + localY[corner] * state.iy;
        ys[corner] = py + localX[corner] * state.jx + localY[corner] * state.jy;
    }
    emitTexturedQuad(*image, xs, ys);
}

namespace {

// Glow lines are nearly all of a frame's geometry (the grid alone is 1280 of them), and almost every one
// lands in the batch that the line before it opened: same glow texture, same blend mode, room to spare.
// That case is taken here without the general reservation's call and checks.
TVertex* reserveGlowGeometry(uint32_t texture, int vertexCount, int indexCount, uint32_t** indices,
                             uint32_t* base) {
    const bool joinsBatch = batch.indexCount > 0 && batch.texture == texture &&
                            batch.blendMode == state.blendMode &&
                            batch.vertexCount + vertexCount <= batchVertexCapacity &&
                            batch.indexCount + indexCount <= batchIndexCapacity;
    if (!joinsBatch) return reserveGeometry(texture, vertexCount, indexCount, indices, base);
    *base = static_cast<uint32_t>(batch.vertexCount);
    *indices = batch.indices.get() + batch.indexCount;
    TVertex* vertices = batch.vertices.get() + batch.vertexCount;
    batch.vertexCount += vertexCount;
    batch.indexCount += indexCount;
    return vertices;
}

// The strip as triangles, so that every line joins the same batch.
void putStripIndices(uint32_t* indices, uint32_t base, int vertexCount) {
    for (int first = 0; first + 2 < vertexCount; ++first) {
        *indices++ = base + static_cast<uint32_t>(first);
        *indices++ = base + static_cast<uint32_t>(first + 1);
        *indices++ = base + static_cast<uint32_t>(first + 2);
    }
}

} // namespace

void drawGlowLine(const Picture& picture, int frame, float x1, float y1, float x2, float y2, float width,
                  int capped) {
    const TPictureFrame* image = pictureFrame(picture, frame);
    if (!image) return;
    const float dx = x1 - x2;
    const float dy = y1 - y2;
    const float length = std::sqrt(dx * dx + dy * dy);
    // A line of no length has no direction; a non-finite one has no place on the screen.
    if (!(length > 0.0f) || !std::isfinite(length) || !std::isfinite(width)) return;
    const float ux = width * dx / length;
    const float uy = width * dy / length;
    const float px = -uy;
    const float py = ux;
    const float ax = x1 + state.originX, ay = y1 + state.originY;
    const float bx = x2 + state.originX, by = y2 + state.originY;

    // b runs across the line along the frame's horizontal axis, a along the line down its vertical axis.
    const float uSpan = image->u1 - image->u0;
    const float vSpan = image->v1 - image->v0;
    auto across = [&](float b) { return image->u0 + b * uSpan; };
    auto along = [&](float a) { return image->v0 + a * vSpan; };

    const int vertexCount = capped ? 8 : 4;
    uint32_t* indices = nullptr;
    uint32_t base = 0;
    TVertex* v = reserveGlowGeometry(image->texture->id, vertexCount, (vertexCount - 2) * 3, &indices, &base);
    if (!v) return;
    if (capped) {
        const float side0 = across(0), side1 = across(1);
        const float tip = along(1), nearEnd = along(0.4985f), farEnd = along(0.5015f);
        putVertex(v[0], ax + ux + px, ay + uy + py, side0, tip);
        putVertex(v[1], ax + ux - px, ay + uy - py, side1, tip);
        putVertex(v[2], ax + px, ay + py, side0, nearEnd);
        putVertex(v[3], ax - px, ay - py, side1, nearEnd);
        putVertex(v[4], bx + px, by + py, side0, farEnd);
        putVertex(v[5], bx - px, by - py, side1, farEnd);
        putVertex(v[6], bx - ux + px, by - uy + py, side0, tip);
        putVertex(v[7], bx - ux - px, by - uy - py, side1, tip);
    } else {
        putVertex(v[0], ax + px, ay + py, across(0), along(0));
        putVertex(v[1], ax - px, ay - py, across(1), along(0));
        putVertex(v[2], bx + px, by + py, across(0), along(1));
        putVertex(v[3], bx - px, by - py, across(1), along(1));
    }
    putStripIndices(indices, base, vertexCount);
    stats.glowLines += 1;
    if (glowLinePerDrawCall) flushBatch();
}

// Batching is always on, so the bracket needs no work of its own: consecutive glow lines share a draw call
// for as long as the texture and blend mode stay the same, inside the bracket or not.
void beginGlowBatch() {}
void endGlowBatch() {}

// --- Statistics ----------------------------------------------------------------------------------------

void flushDrawing() {
    flushBatch();
}

const TRenderStats& renderStats() {
    flushBatch();
    return stats;
}

void resetRenderStats() {
    stats = TRenderStats{};
}

TSubmission backendSubmission() {
    return {gpuDrawTriangles, gpuClear};
}

void setSubmission(const TSubmission& replacement) {
    flushBatch();
    submission = replacement;
}

void setGlowLinePerDrawCall(bool on) {
    flushBatch();
    glowLinePerDrawCall = on;
}
