// A small light buffer for drawing outlines the way the game shows them: each outline is a thin bright core
// with a soft halo, anti-aliased by measuring every pixel's distance to the nearest segment. Light adds up
// like the game's additive blending and is clamped only when the pixels are written.
#pragma once

#include "png_file.h"

#include <span>
#include <vector>

struct TLineSegment {
    float x1, y1, x2, y2;
};

struct TGlowPen {
    float red = 1, green = 1, blue = 1; // 0..1
    float coreRadius = 0.6f;            // half the width of the solid line, in pixels
    float haloRadius = 2.0f;            // standard deviation of the halo, in pixels
    float haloStrength = 0.5f;          // halo brightness next to the line, relative to the core
    float whiteHeat = 0.0f;             // how far the core is bleached towards white
};

class TGlowCanvas {
public:
    TGlowCanvas(int width, int height);

    // Adds one outline. Pixel (x, y) covers [x, x + 1) x [y, y + 1); the segments are in the same units.
    // The outline's light depends on the nearest segment only, so joints do not flare up.
    void addOutline(std::span<const TLineSegment> segments, const TGlowPen& pen);

    // Copies the light into image at (left, top): RGB as it is (black where there is no light), RGBA as
    // the light's colour with an alpha equal to its brightness.
    void writeInto(TPixelImage& image, int left, int top) const;

private:
    int width;
    int height;
    std::vector<float> light; // red, green, blue per pixel
};

// Distance from (px, py) to the segment.
float distanceToSegment(float px, float py, const TLineSegment& segment);
