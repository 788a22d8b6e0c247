#include "harness/display_fixture.h"

#include "platform/program.h"

#include <algorithm>
#include <cstdlib>

// Drops the focus losses the window system reports, keeping those the input driver sends (input driver).
void ignoreWindowSystemFocus();

bool openTestDisplay() {
    static bool tried = false;
    static bool opened = false;
    if (tried) return opened;
    tried = true;
    // SDL reads these when it starts, so they must be in place before anything initialises it.
    const char* video = std::getenv("KELVANOR_TEST_VIDEO");
    setenv("SDL_VIDEODRIVER", (video && *video) ? video : "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    opened = initPlatform() && openGraphicsWindow(800, 600, 0, 0, 0);
    ignoreWindowSystemFocus();
    return opened;
}

PixelBuffer makePixelBuffer(int width, int height,
                            const std::function<std::array<uint8_t, 4>(int x, int y)>& pixel) {
    auto buffer = std::make_shared<TPixelBuffer>();
    buffer->width = width;
    buffer->height = height;
    buffer->rgba.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto value = pixel(x, y);
            std::copy(value.begin(), value.end(), &buffer->rgba[(static_cast<size_t>(y) * width + x) * 4]);
        }
    return buffer;
}

void PrintTo(const TPixelBounds& bounds, std::ostream* out) {
    *out << "x " << bounds.left << ".." << bounds.right << ", y " << bounds.top << ".." << bounds.bottom;
}

TPixelBounds litBounds(const TPixelBuffer& buffer, int threshold) {
    TPixelBounds bounds{buffer.width, buffer.height, 0, 0};
    for (int y = 0; y < buffer.height; ++y)
        for (int x = 0; x < buffer.width; ++x) {
            const auto pixel = buffer.pixel(x, y);
            if (std::max({pixel[0], pixel[1], pixel[2]}) <= threshold) continue;
            bounds.left = std::min(bounds.left, x);
            bounds.top = std::min(bounds.top, y);
            bounds.right = std::max(bounds.right, x + 1);
            bounds.bottom = std::max(bounds.bottom, y + 1);
        }
    return bounds;
}

void DisplayTest::SetUp() {
    ASSERT_TRUE(openTestDisplay()) << "no display with an OpenGL context on this machine";
    resetDrawingState();
    clearFrame();
    resetRenderStats();
}

PixelBuffer DisplayTest::grabScreen() {
    return grabScreenRegion(0, 0, screenWidth(), screenHeight());
}

std::array<int, 3> DisplayTest::colorAt(int x, int y) {
    const PixelBuffer buffer = grabScreenRegion(x, y, 1, 1);
    if (!buffer) return {-1, -1, -1};
    const auto pixel = buffer->pixel(0, 0);
    return {pixel[0], pixel[1], pixel[2]};
}
