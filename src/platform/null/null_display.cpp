// The null backend's display and graphics device: a surface of the logical size that is never shown, a
// target that exists only as a size and a clear colour, textures that are numbers, and presents that wait
// for nothing.
#include "platform/null/null_backend.h"

#include "platform/display.h"
#include "platform/render.h"

#include <algorithm>
#include <cstring>

namespace {

int surfaceWidth = 0;
int surfaceHeight = 0;
uint32_t nextTexture = 1;
uint8_t clearColor[3] = {0, 0, 0};
long presented = 0;

} // namespace

bool backendOpenDisplay(int width, int height, bool) {
    surfaceWidth = width;
    surfaceHeight = height;
    presented = 0;
    return true;
}

TSurfaceSize backendSurfaceSize() {
    return {surfaceWidth, surfaceHeight, surfaceWidth, surfaceHeight};
}

bool backendShowFrame(const TLetterbox&, int) {
    ++presented;
    return true;
}

// Programs on the null backend (tests, the soak, the simulation benchmarks) step frames as fast as they
// like, and there is no pointer to move.
TDisplayDevice backendDisplayDevice() {
    return {.pacesFrames = true};
}

void backendPlacePointer(int, int) {}

void setWindowTitle(std::string_view) {}
void hidePointer() {}

long nullPresentedFrames() {
    return presented;
}

bool gpuSetTargetSize(int width, int height) {
    return width > 0 && height > 0;
}

uint32_t gpuCreateTexture(const uint8_t*, int width, int height, int) {
    // As large as the desktop's driver takes; anything larger fails there too.
    constexpr int LargestSide = 16384;
    if (width > LargestSide || height > LargestSide) return 0;
    return nextTexture++;
}

void gpuDeleteTexture(uint32_t) {}
void gpuMakeMipmaps(uint32_t, bool) {}

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
