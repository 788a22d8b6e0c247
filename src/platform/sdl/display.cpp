// The window, its OpenGL context, presentation and frame pacing.
//
// The game always draws into the renderer's logical-size target; presenting scales that picture onto the
// window's drawable with its aspect kept and black bars, and pointer positions are mapped back through the
// same letterbox. Alt+Enter and F11 switch between full screen and a resizable window for the session.
//
// Pacing (the decisions are frame_pacing's): when the display opens full screen, presents that wait for
// the vertical blank are timed for at most a second. A display that proves a steady refresh then shows
// each frame for as many refreshes as keep sixty frames a second on average (the swap interval, or
// repeated presents where the driver takes no interval above 1). Otherwise frames are released by the
// millisecond clock, one every 1000/hertz ms on average, without ever catching up lost frames.
#include "platform/display.h"

#include "platform/backend.h"
#include "platform/frame_pacing.h"
#include "platform/platform_internal.h"
#include "platform/program.h"
#include "platform/render.h"
#include "platform/replay_hooks.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window_layout.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
std::string pendingTitle;

TFramePacer pacer;
int pacingStart = 0;
int swapInterval = -100;           // not yet set
bool longIntervalsRefused = false; // the driver takes 0 and 1 only
// The window's size on the desktop once it has been there, so that coming back from full screen keeps
// what the player made of it.
int windowedWidth = 0;
int windowedHeight = 0;

TLetterbox logicalLetterbox(int outerWidth, int outerHeight) {
    return letterbox(outerWidth, outerHeight, logicalWidth(), logicalHeight());
}

// Clock differences stay right across the 32-bit wrap of the millisecond count. Pacing reads the live
// clock, which recordings never see: how often it looks must not matter to a replay.
int millisSince(int start) {
    return static_cast<int>(static_cast<uint32_t>(liveMillis()) - static_cast<uint32_t>(start));
}

// False when the driver cannot set the interval at all.
bool setSwapInterval(int interval) {
    if (interval == swapInterval) return true;
    if (SDL_GL_SetSwapInterval(interval) != 0) return false;
    swapInterval = interval;
    return true;
}

void showTarget(int interval) {
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) {
        // A minimised window has nothing to show the picture in; keep the frame's cadence anyway.
        flushBatch();
    } else {
        const TLetterbox box = logicalLetterbox(drawableWidth, drawableHeight);
        blitTargetToWindow(drawableWidth, drawableHeight, box.x, drawableHeight - box.y - box.h, box.w,
                           box.h);
    }
    setSwapInterval(interval);
    SDL_GL_SwapWindow(window);
    rebindTarget();
}

// What the display says it refreshes at; 0 when it does not say.
int reportedRefreshHertz() {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0) return mode.refresh_rate;
    return 0;
}

// Presents with the vertical-blank wait until the probe has its answer (at most a second; much less on a
// display whose presents never wait, so that a headless start does not idle).
TRefreshMeasure measureRefresh() {
    if (!setSwapInterval(1)) return {}; // the driver refuses the wait
    TRefreshProbe probe(reportedRefreshHertz(), liveMicros());
    while (!probe.settled()) {
        sleepMillis(probe.sleepBeforeNextMillis());
        showTarget(1);
        probe.presented(liveMicros());
    }
    return probe.measure();
}

// One frame of vertical-blank pacing: on screen for the refreshes the pacer gives it.
void presentOnRefreshes() {
    const int refreshes = pacer.nextFrameRefreshes();
    if (!longIntervalsRefused && !setSwapInterval(refreshes)) longIntervalsRefused = true;
    if (longIntervalsRefused) {
        // The same picture again on each refresh: the target is still there after a present.
        for (int i = 0; i < refreshes; ++i)
            showTarget(1);
    } else {
        showTarget(refreshes);
    }
    const int64_t sleep = pacer.frameShown(liveMicros(), refreshes);
    if (sleep > 0) sleepMillis(static_cast<int>((sleep + 500) / 1000));
}

bool createWindow(int width, int height, int depth) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    const Uint32 windowFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    if (depth != 0)
        window = SDL_CreateWindow(pendingTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                  height, windowFlags | SDL_WINDOW_FULLSCREEN_DESKTOP);
    // Without a usable full-screen mode a window still lets the game run.
    if (!window)
        window = SDL_CreateWindow(pendingTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                  height, windowFlags);
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    if (context && SDL_GL_MakeCurrent(window, context) == 0 && startGlTarget(width, height) &&
        startRenderer(width, height))
        return true;
    if (context) SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    context = nullptr;
    window = nullptr;
    return false;
}

// The first windowed size: the biggest whole multiple of the picture the desktop has room for.
void chooseWindowedSize() {
    const int display = std::max(SDL_GetWindowDisplayIndex(window), 0);
    SDL_Rect usable{0, 0, logicalWidth(), logicalHeight()};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) SDL_GetDisplayBounds(display, &usable);
    TWindowFrame frame;
    SDL_GetWindowBordersSize(window, &frame.top, &frame.left, &frame.bottom, &frame.right);
    const int scale = windowScaleToFit(usable.w, usable.h, frame, logicalWidth(), logicalHeight());
    windowedWidth = logicalWidth() * scale;
    windowedHeight = logicalHeight() * scale;
}

} // namespace

// --- Display and frame ---------------------------------------------------------------------------------

bool openGraphicsWindow(int width, int height, int depth, int hertz, int flags) {
    (void)flags;
    if (width <= 0 || height <= 0 || hertz < 0) return false;
    if (!window) {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        if (!createWindow(width, height, depth)) return false;
    }
    resetDrawingState();
    for (int i = 0; i < 2; ++i) {
        clearFrame();
        presentFrame(0);
    }
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    const TLetterbox box = logicalLetterbox(windowWidth, windowHeight);
    SDL_WarpMouseInWindow(window, box.x + box.w / 2, box.y + box.h / 2);

    const TRefreshMeasure refresh = hertz > 0 && depth != 0 ? measureRefresh() : TRefreshMeasure{};
    pacer.start(hertz, refresh);
    pacingStart = liveMillis();
    return true;
}

void setWindowTitle(std::string_view title) {
    pendingTitle.assign(title);
    if (window) SDL_SetWindowTitle(window, pendingTitle.c_str());
}

void hidePointer() {
    SDL_ShowCursor(SDL_DISABLE);
}

void presentFrame(int sync) {
    // Only the game's own frames (sync -1) count as frames of a recording.
    if (sync < 0) replayFrameEnded();
    if (!window) return;
    if (sync >= 0) {
        showTarget(sync);
        return;
    }
    if (replayRunsUnpaced()) {
        showTarget(0);
        return;
    }
    switch (pacer.mode()) {
    case PacingMode::VerticalBlank:
        presentOnRefreshes();
        return;
    case PacingMode::Clock:
        sleepMillis(pacer.clockWaitMillis(millisSince(pacingStart)));
        break;
    case PacingMode::Unpaced:
        break; // frames go out as fast as they are drawn
    }
    showTarget(0);
}

int pacingRefreshHertz() {
    return pacer.mode() == PacingMode::VerticalBlank ? pacer.refreshHertz() : 0;
}

// --- Window on the desktop and full screen ------------------------------------------------------------

void toggleFullScreen() {
    if (!window) return;
    const bool fullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (!fullScreen) {
        SDL_GetWindowSize(window, &windowedWidth, &windowedHeight);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    if (SDL_SetWindowFullscreen(window, 0) != 0) return;
    if (windowedWidth <= 0 || windowedHeight <= 0) chooseWindowedSize();
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowMinimumSize(window, logicalWidth() / 4, logicalHeight() / 4);
    SDL_SetWindowSize(window, windowedWidth, windowedHeight);
    const int display = std::max(SDL_GetWindowDisplayIndex(window), 0);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

// --- Glue for the events module ------------------------------------------------------------------------

SDL_Window* platformWindow() {
    return window;
}

void logicalPointerFromWindow(int windowX, int windowY, int* logicalX, int* logicalY) {
    int windowWidth = logicalWidth(), windowHeight = logicalHeight();
    if (window) SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    const TLetterbox box = logicalLetterbox(std::max(windowWidth, 1), std::max(windowHeight, 1));
    const double x = std::floor(static_cast<double>(windowX - box.x) * logicalWidth() / box.w);
    const double y = std::floor(static_cast<double>(windowY - box.y) * logicalHeight() / box.h);
    *logicalX = static_cast<int>(std::clamp(x, 0.0, static_cast<double>(logicalWidth() - 1)));
    *logicalY = static_cast<int>(std::clamp(y, 0.0, static_cast<double>(logicalHeight() - 1)));
}
