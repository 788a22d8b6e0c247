#include "app/settings/screenshot.h"

#include "platform/display.h"
#include "platform/safe_write.h"

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

// Far beyond any player's folder; a search that gets here is stopped rather than left to run.
constexpr int ScreenshotNameLimit = 100000;

} // namespace

std::string screenshotName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "screen%03d.png", n);
    return name;
}

std::string takeScreenshot() {
    const PixelBuffer pixels = grabScreenRegion(0, 0, screenWidth(), screenHeight());
    std::vector<uint8_t> png;
    if (!encodePixelBufferPng(pixels, 5, png)) return {};
    const std::string_view bytes(reinterpret_cast<const char*>(png.data()), png.size());
    // Searching from 0 every time reuses the number of a deleted screenshot first. A name that is taken
    // in any form (a file, a folder, a link, dangling or not) is passed over: a screenshot is only ever
    // created new, never written through or over something that is there.
    for (int n = 0; n < ScreenshotNameLimit; ++n) {
        const std::string name = screenshotName(n);
        if (writeFileSafely(name, bytes, SafeWriteMode::CreateNew)) return name;
        if (errno != EEXIST) return {};
    }
    return {};
}
