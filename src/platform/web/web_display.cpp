// The canvas and its WebGL 2 context: creating them, their size in CSS pixels and in device pixels, and
// showing a frame (the final pass is the shared GL module's).
//
// The canvas fills the page; its drawing buffer follows the page's size in device pixels, so the picture
// is drawn at the screen's own pixels on a high-DPI display. Presenting never waits: the browser shows
// the drawing buffer when the animation frame returns, and the frame loop (web_program.cpp) paces. What
// to present at what size, and where the pointer lands, are the core's (presentation.cpp).
#include "platform/display.h"

#include "platform/backend.h"
#include "platform/gl/gl_device.h"
#include "platform/web/web_backend.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr const char* Canvas = "#screen";

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
bool titleShown = false;

// The canvas's CSS size and the device pixels it covers.
TSurfaceSize pageSize() {
    double cssWidth = 0, cssHeight = 0;
    emscripten_get_element_css_size(Canvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    TSurfaceSize size;
    size.width = std::max(1, static_cast<int>(std::lround(cssWidth)));
    size.height = std::max(1, static_cast<int>(std::lround(cssHeight)));
    size.pixelWidth = std::max(1, static_cast<int>(std::lround(cssWidth * ratio)));
    size.pixelHeight = std::max(1, static_cast<int>(std::lround(cssHeight * ratio)));
    return size;
}

// The drawing buffer follows the page: a resized window, full screen, another zoom.
TSurfaceSize fitDrawingBuffer() {
    const TSurfaceSize size = pageSize();
    int width = 0, height = 0;
    emscripten_get_canvas_element_size(Canvas, &width, &height);
    if (width != size.pixelWidth || height != size.pixelHeight)
        emscripten_set_canvas_element_size(Canvas, size.pixelWidth, size.pixelHeight);
    return size;
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
// The page's address may choose the render scale, as the desktop's command line does: ?scale=native.
EM_JS(int, addressScaleChoice, (char* choice, int size), {
    var found = /[?&]scale=([^&#]*)/.exec(location.search);
    if (!found) return 0;
    stringToUTF8(decodeURIComponent(found[1]), choice, size);
    return 1;
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

bool backendOpenDisplay(int width, int height, bool) {
    if (context) return true;
    char choice[32] = {};
    if (addressScaleChoice(choice, sizeof choice) && !setRenderScale(choice))
        emscripten_log(EM_LOG_WARN, "scale=%s is not auto, native or a number from 1 to 8", choice);
    return createContext() && glDeviceStart(width, height);
}

TSurfaceSize backendSurfaceSize() {
    return pageSize();
}

// Presents never wait here: whatever the interval, the browser shows the frame when the callback returns.
bool backendShowFrame(const TLetterbox& box, int) {
    if (!context) return true;
    const TSurfaceSize size = fitDrawingBuffer();
    glDeviceShowTarget(size.pixelWidth, size.pixelHeight, box);
    // The first frame the game presents after opening is its title.
    if (animationFrameNumber() > 0 && !titleShown) {
        titleShown = true;
        markTitleShown();
    }
    return true;
}

// The page's animation frames pace, and a page cannot move the mouse.
TDisplayDevice backendDisplayDevice() {
    return {.pacesFrames = true};
}

void backendPlacePointer(int, int) {}

void setWindowTitle(std::string_view title) {
    setPageTitle(std::string(title).c_str());
}

void hidePointer() {
    hideCanvasPointer();
}

void logicalPointerFromPage(double pageX, double pageY, int* logicalX, int* logicalY) {
    const TLogicalPoint point = logicalPointerAt(pageX, pageY);
    *logicalX = point.x;
    *logicalY = point.y;
}
