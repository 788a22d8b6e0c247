// The window and its OpenGL ES 3 context: creating them, their size in window coordinates and in the
// drawable's pixels, presenting (the final pass is the shared GL module's), the swap interval, and the
// switch between full screen and a resizable window that Alt+Enter and F11 make for the session.
//
// What to present when, at what size, and where the pointer lands are the core's (presentation.cpp).
#include "platform/display.h"

#include "platform/backend.h"
#include "platform/gl/gl_device.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window_layout.h"

#include <SDL.h>

#include <algorithm>
#include <string>

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
std::string pendingTitle;
int swapInterval = -100; // not yet set

// The window's size on the desktop once it has been there, so that coming back from full screen keeps
// what the player made of it.
int windowedWidth = 0;
int windowedHeight = 0;

// OpenGL ES 3.0 is WebGL 2's own API: the desktop and the browser share one graphics module.
void askForOpenGlEs3() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
}

bool createWindow(int width, int height, bool fullScreen) {
    askForOpenGlEs3();
    const Uint32 windowFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullScreen)
        window = SDL_CreateWindow(pendingTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                  height, windowFlags | SDL_WINDOW_FULLSCREEN_DESKTOP);
    // Without a usable full-screen mode a window still lets the game run.
    if (!window)
        window = SDL_CreateWindow(pendingTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                  height, windowFlags);
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    if (context && SDL_GL_MakeCurrent(window, context) == 0 && glDeviceStart(width, height)) return true;
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

// --- What the core asks of the display -----------------------------------------------------------------

bool backendOpenDisplay(int width, int height, bool fullScreen) {
    if (window) return true;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    return createWindow(width, height, fullScreen);
}

TSurfaceSize backendSurfaceSize() {
    TSurfaceSize size{logicalWidth(), logicalHeight(), logicalWidth(), logicalHeight()};
    if (!window) return size;
    SDL_GetWindowSize(window, &size.width, &size.height);
    SDL_GL_GetDrawableSize(window, &size.pixelWidth, &size.pixelHeight);
    return size;
}

bool backendShowFrame(const TLetterbox& box, int interval) {
    if (!window) return false;
    bool taken = interval == swapInterval;
    if (!taken && SDL_GL_SetSwapInterval(interval) == 0) {
        swapInterval = interval;
        taken = true;
    }
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    if (drawableWidth > 0 && drawableHeight > 0) glDeviceShowTarget(drawableWidth, drawableHeight, box);
    SDL_GL_SwapWindow(window);
    return taken;
}

TDisplayDevice backendDisplayDevice() {
    TDisplayDevice device;
    device.movesPointer = true;
    SDL_DisplayMode mode{};
    const int display = window ? SDL_GetWindowDisplayIndex(window) : -1;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0)
        device.reportedRefreshHertz = mode.refresh_rate;
    return device;
}

// The warp comes back as a motion event, which the events module maps like any other.
void backendPlacePointer(int surfaceX, int surfaceY) {
    if (window) SDL_WarpMouseInWindow(window, surfaceX, surfaceY);
}

void setWindowTitle(std::string_view title) {
    pendingTitle.assign(title);
    if (window) SDL_SetWindowTitle(window, pendingTitle.c_str());
}

void hidePointer() {
    SDL_ShowCursor(SDL_DISABLE);
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
    const TLogicalPoint point = logicalPointerAt(windowX, windowY);
    *logicalX = point.x;
    *logicalY = point.y;
}
