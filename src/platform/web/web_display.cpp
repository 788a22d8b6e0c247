// The canvas and its WebGL context, and presentation.
//
// The canvas fills the page; its drawing buffer has the page's size in device pixels, so the picture is
// as sharp as the screen allows on a high-DPI display. The game draws into the renderer's logical-size
// target; presenting scales that onto the drawing buffer with its aspect kept and black bars, and
// pointer positions are mapped back through the same letterbox. Presenting never waits: the browser
// shows the drawing buffer when the animation frame returns, and the frame loop (web_program.cpp) paces.
#include "platform/display.h"

#include "platform/backend.h"
#include "platform/render.h"
#include "platform/replay_hooks.h"
#include "platform/web/web_backend.h"
#include "platform/window_layout.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr const char* Canvas = "#screen";

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
bool titleShown = false;

struct TPageSize {
    double cssWidth = 0, cssHeight = 0;
    int bufferWidth = 0, bufferHeight = 0;
};

TPageSize pageSize() {
    TPageSize size;
    emscripten_get_element_css_size(Canvas, &size.cssWidth, &size.cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    size.bufferWidth = std::max(1, static_cast<int>(std::lround(size.cssWidth * ratio)));
    size.bufferHeight = std::max(1, static_cast<int>(std::lround(size.cssHeight * ratio)));
    return size;
}

// The drawing buffer follows the page: a resized window, full screen, another zoom.
TPageSize fitDrawingBuffer() {
    const TPageSize size = pageSize();
    int width = 0, height = 0;
    emscripten_get_canvas_element_size(Canvas, &width, &height);
    if (width != size.bufferWidth || height != size.bufferHeight)
        emscripten_set_canvas_element_size(Canvas, size.bufferWidth, size.bufferHeight);
    return size;
}

void showTarget() {
    const TPageSize size = fitDrawingBuffer();
    const TLetterbox box = letterbox(size.bufferWidth, size.bufferHeight, logicalWidth(), logicalHeight());
    blitTargetToCanvas(size.bufferWidth, size.bufferHeight, box.x, size.bufferHeight - box.y - box.h, box.w,
                       box.h);
}

// clang-format off
EM_JS(void, markTitleShown, (), {
    if (!window.kelvanorStatus) return;
    window.kelvanorStatus.title = true;
    window.kelvanorStatus.titleMillis = performance.now();
});
EM_JS(void, setPageTitle, (const char* title), {
    document.title = UTF8ToString(title);
});
EM_JS(void, hideCanvasPointer, (), {
    var canvas = document.getElementById('screen');
    if (canvas) canvas.style.cursor = 'none';
});
// clang-format on

bool createContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    // Blitting into a multisampled drawing buffer is not allowed, and the game does its own smoothing.
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    context = emscripten_webgl_create_context(Canvas, &attributes);
    if (context <= 0) {
        context = 0;
        return false;
    }
    emscripten_webgl_make_context_current(context);
    fitDrawingBuffer();
    return true;
}

} // namespace

bool openGraphicsWindow(int width, int height, int depth, int hertz, int flags) {
    (void)depth;
    (void)flags;
    if (width <= 0 || height <= 0 || hertz < 0) return false;
    if (!context) {
        if (!createContext()) return false;
        if (!startWebGlTarget(width, height) || !startRenderer(width, height)) return false;
    }
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
    deliverInput(pointer);
    return true;
}

void setWindowTitle(std::string_view title) {
    setPageTitle(std::string(title).c_str());
}

void hidePointer() {
    hideCanvasPointer();
}

void presentFrame(int sync) {
    // Only the game's own frames (sync -1) count as frames of a recording.
    if (sync < 0) replayFrameEnded();
    if (!context) return;
    showTarget();
    if (sync < 0 && !titleShown) {
        titleShown = true;
        markTitleShown();
    }
}

int pacingRefreshHertz() {
    return 0; // the browser's animation frames pace, whatever the refresh
}

void logicalPointerFromPage(double pageX, double pageY, int* logicalX, int* logicalY) {
    const TPageSize size = pageSize();
    const TLetterbox box = letterbox(std::max(1, static_cast<int>(std::lround(size.cssWidth))),
                                     std::max(1, static_cast<int>(std::lround(size.cssHeight))),
                                     logicalWidth(), logicalHeight());
    const double x = std::floor((pageX - box.x) * logicalWidth() / box.w);
    const double y = std::floor((pageY - box.y) * logicalHeight() / box.h);
    *logicalX = static_cast<int>(std::clamp(x, 0.0, static_cast<double>(logicalWidth() - 1)));
    *logicalY = static_cast<int>(std::clamp(y, 0.0, static_cast<double>(logicalHeight() - 1)));
}
