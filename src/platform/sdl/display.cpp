// The window, its OpenGL context, presentation and frame pacing.
//
// The game always draws into the renderer's logical-size target; presenting scales that picture onto the
// window's drawable with its aspect kept and black bars, and pointer positions are mapped back through the
// same letterbox.
//
// Pacing: when a full-screen display proves that it refreshes at the asked rate (three presents in a row
// each one refresh period long), presents wait for the vertical blank. Otherwise frames are released by
// the millisecond clock, one every 1000/hertz ms on average, without ever catching up lost frames.
#include "platform/display.h"

#include "platform/backend.h"
#include "platform/platform_internal.h"
#include "platform/program.h"
#include "platform/render.h"
#include "platform/replay_hooks.h"
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
std::string pendingTitle;

int pacingHertz = 0;
bool softwarePacing = false;
bool verticalBlankPacing = false;
int pacingStart = 0;
int64_t tickAccumulator = 0;
int swapInterval = -100; // not yet set

// Where the logical picture sits inside an outer area, top-left origin.
struct TLetterbox {
    int x, y, w, h;
};

TLetterbox letterbox(int outerWidth, int outerHeight) {
    const double scale = std::min(static_cast<double>(outerWidth) / logicalWidth(),
                                  static_cast<double>(outerHeight) / logicalHeight());
    const int w = std::max(1, static_cast<int>(std::lround(logicalWidth() * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(logicalHeight() * scale)));
    return {(outerWidth - w) / 2, (outerHeight - h) / 2, w, h};
}

// Clock differences stay right across the 32-bit wrap of the millisecond count. Pacing reads the live
// clock, which recordings never see: how often it looks must not matter to a replay.
int millisSince(int start) {
    return static_cast<int>(static_cast<uint32_t>(liveMillis()) - static_cast<uint32_t>(start));
}

// False when the driver cannot set the interval at all.
bool setSwapInterval(int interval) {
    if (interval == swapInterval) return true;
    swapInterval = interval;
    return SDL_GL_SetSwapInterval(interval) == 0;
}

void showTarget(int interval) {
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) {
        // A minimised window has nothing to show the picture in; keep the frame's cadence anyway.
        flushBatch();
    } else {
        const TLetterbox box = letterbox(drawableWidth, drawableHeight);
        blitTargetToWindow(drawableWidth, drawableHeight, box.x, drawableHeight - box.y - box.h, box.w,
                           box.h);
    }
    setSwapInterval(interval);
    SDL_GL_SwapWindow(window);
    rebindTarget();
}

// Presents with the vertical-blank wait for at most a second and says whether three presents in a row each
// took one refresh period (integer milliseconds, give or take one).
//
// The second is only spent while the answer is open. A driver that refuses the wait, or a display that has
// returned a run of presents at once, will not start waiting later; giving up on them early keeps the start
// of the game from idling for a second on such machines (a headless one, a window system without the wait).
bool refreshesAt(int hertz) {
    // Longer than any swap queue a display would fill before it has to wait.
    constexpr int ImmediatePresentsToGiveUp = 30;
    const int period = 1000 / hertz;
    if (!setSwapInterval(1)) return false;
    const int start = liveMillis();
    int goodInARow = 0;
    int immediateInARow = 0;
    while (millisSince(start) < 1000) {
        const int before = liveMillis();
        showTarget(1);
        const int took = millisSince(before);
        if (std::abs(took - period) <= 1) {
            if (++goodInARow == 3) return true;
        } else {
            goodInARow = 0;
        }
        immediateInARow = took < period / 2 ? immediateInARow + 1 : 0;
        if (immediateInARow == ImmediatePresentsToGiveUp) return false;
    }
    return false;
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
    const TLetterbox box = letterbox(windowWidth, windowHeight);
    SDL_WarpMouseInWindow(window, box.x + box.w / 2, box.y + box.h / 2);

    pacingHertz = hertz;
    verticalBlankPacing = hertz > 0 && depth != 0 && refreshesAt(hertz);
    softwarePacing = hertz > 0 && !verticalBlankPacing;
    pacingStart = liveMillis();
    tickAccumulator = 0;
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
    if (verticalBlankPacing) {
        showTarget(1);
        return;
    }
    if (softwarePacing) {
        const int sinceStart = millisSince(pacingStart);
        tickAccumulator += 1000;
        const int64_t wait = tickAccumulator / pacingHertz - sinceStart;
        if (wait > 0 && wait < 1000)
            sleepMillis(static_cast<int>(wait));
        else
            tickAccumulator = static_cast<int64_t>(sinceStart) * pacingHertz;
    }
    // With pacing off (hertz 0) frames go out as fast as they are drawn.
    showTarget(0);
}

// --- Glue for the events module ------------------------------------------------------------------------

SDL_Window* platformWindow() {
    return window;
}

void logicalPointerFromWindow(int windowX, int windowY, int* logicalX, int* logicalY) {
    int windowWidth = logicalWidth(), windowHeight = logicalHeight();
    if (window) SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    const TLetterbox box = letterbox(std::max(windowWidth, 1), std::max(windowHeight, 1));
    const double x = std::floor(static_cast<double>(windowX - box.x) * logicalWidth() / box.w);
    const double y = std::floor(static_cast<double>(windowY - box.y) * logicalHeight() / box.h);
    *logicalX = static_cast<int>(std::clamp(x, 0.0, static_cast<double>(logicalWidth() - 1)));
    *logicalY = static_cast<int>(std::clamp(y, 0.0, static_cast<double>(logicalHeight() - 1)));
}
