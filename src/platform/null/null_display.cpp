// The null backend's display and graphics device: a target that exists only as a size and a clear
// colour, textures that are numbers, and presentation that hands the pending batch on to be counted and
// waits for nothing.
#include "platform/null/null_backend.h"

#include "platform/display.h"
#include "platform/render.h"
#include "platform/replay_hooks.h"

#include <algorithm>
#include <cstring>

namespace {

bool displayOpen = false;
uint32_t nextTexture = 1;
uint8_t clearColor[3] = {0, 0, 0};
long presented = 0;

} // namespace

bool openGraphicsWindow(int width, int height, int depth, int hertz, int flags) {
    (void)depth;
    (void)flags;
    if (width <= 0 || height <= 0 || hertz < 0) return false;
    if (!displayOpen && !startRenderer(width, height)) return false;
    displayOpen = true;
    resetDrawingState();
    for (int i = 0; i < 2; ++i) {
        clearFrame();
        presentFrame(0);
    }
    // The pointer starts in the middle of the picture, where the desktop's display puts it.
    TInputRecord pointer;
    pointer.kind = InputKind::Pointer;
    pointer.x = width / 2;
    pointer.y = height / 2;
    queueNullInput(pointer);
    presented = 0;
    return true;
}

void setWindowTitle(std::string_view) {}
void hidePointer() {}

void presentFrame(int sync) {
    // Only the game's own frames (sync -1) count as frames of a recording.
    if (sync < 0) replayFrameEnded();
    flushBatch();
    ++presented;
}

long nullPresentedFrames() {
    return presented;
}

uint32_t gpuCreateTexture(const uint8_t*, int width, int height, int) {
    // As large as the desktop's driver takes; anything larger fails there too.
    constexpr int LargestSide = 16384;
    if (width > LargestSide || height > LargestSide) return 0;
    return nextTexture++;
}

void gpuDeleteTexture(uint32_t) {}

void gpuDrawTriangles(const TVertex*, int, const uint32_t*, int, uint32_t, int) {}

void gpuClear(int red, int green, int blue) {
    clearColor[0] = static_cast<uint8_t>(red);
    clearColor[1] = static_cast<uint8_t>(green);
    clearColor[2] = static_cast<uint8_t>(blue);
}

void gpuReadPixels(int, int, int width, int height, uint8_t* rgba) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < pixels; ++i) {
        std::memcpy(rgba + i * 4, clearColor, 3);
        rgba[i * 4 + 3] = 255;
    }
}
