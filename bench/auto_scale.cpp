// Where the automatic render scale settles on this machine: a scene played through the real presentation,
// paced by the clock at sixty frames a second as a window on the desktop is, in a window of a large
// display's size, with the scale followed frame by frame.
#include "auto_scale.h"

#include "platform/display.h"
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

double wallMillis() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The benchmark runs on SDL's offscreen driver, whose windows take any size they are given.
bool resizeWindow(int width, int height) {
    SDL_Window* window = platformWindow();
    if (!window) return false;
    SDL_SetWindowSize(window, width, height);
    int shownWidth = 0, shownHeight = 0;
    SDL_GetWindowSize(window, &shownWidth, &shownHeight);
    return shownWidth == width && shownHeight == height;
}

} // namespace

bool measureAutoScale(const std::function<void()>& setup, const std::function<void()>& frame, int width,
                      int height, int frames, TAutoScaleResult& result) {
    result = TAutoScaleResult{};
    result.width = width;
    result.height = height;
    if (!resizeWindow(width, height)) return false;
    // A window on the desktop: no refresh to measure, the clock paces at sixty a second.
    if (!openGraphicsWindow(800, 600, 0, 60, 0) || !setRenderScale("auto")) return false;
    setup();
    std::vector<double> periods;
    double last = wallMillis();
    float scale = 0;
    for (int shown = 0; shown < frames; ++shown) {
        frame();
        // The scale the frame was drawn at: a change is taken at the start of the next frame.
        if (renderScale() != scale) {
            if (shown > 0) ++result.changes;
            scale = renderScale();
            result.settledAfterFrames = shown;
            if (shown == 0) result.nativeScale = scale;
        }
        const double now = wallMillis();
        periods.push_back(now - last);
        last = now;
    }
    result.settledScale = scale;
    // The frames after the last change: what the player gets once it has settled.
    std::vector<double> settled(periods.begin() + std::min<size_t>(result.settledAfterFrames, periods.size()),
                                periods.end());
    std::sort(settled.begin(), settled.end());
    result.settledFrameMs = settled.empty() ? 0 : settled[settled.size() / 2];
    result.frames = frames;
    // Back to the benchmark's own display: 800 x 600, unpaced.
    resizeWindow(800, 600);
    return openGraphicsWindow(800, 600, 0, 0, 0);
}
