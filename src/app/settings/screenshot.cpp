#include "app/settings/screenshot.h"

#include "platform/display.h"
#include "platform/files.h"

#include <cstdio>

std::string screenshotName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "screen%03d.png", n);
    return name;
}

std::string takeScreenshot() {
    // Searching from 0 every time reuses the number of a deleted screenshot first.
    int n = 0;
    while (pathKind(screenshotName(n)) != 0)
        ++n;
    const std::string name = screenshotName(n);
    const PixelBuffer pixels = grabScreenRegion(0, 0, screenWidth(), screenHeight());
    return savePixelBufferPng(pixels, name, 5) ? name : std::string();
}
