#include "glow_canvas.h"

#include "picture_math.h"

#include <algorithm>
#include <cmath>

float distanceToSegment(float px, float py, const TLineSegment& segment) {
    const float dx = segment.x2 - segment.x1;
    const float dy = segment.y2 - segment.y1;
    const float lengthSquared = dx * dx + dy * dy;
    float t = 0;
    if (lengthSquared > 0)
        t = std::clamp(((px - segment.x1) * dx + (py - segment.y1) * dy) / lengthSquared, 0.0f, 1.0f);
    return std::hypot(px - (segment.x1 + t * dx), py - (segment.y1 + t * dy));
}

TGlowCanvas::TGlowCanvas(int width, int height)
    : width(width), height(height), light(static_cast<size_t>(width) * height * 3, 0.0f) {}

void TGlowCanvas::addOutline(std::span<const TLineSegment> segments, const TGlowPen& pen) {
    const float twoSigmaSquared = 2 * pen.haloRadius * pen.haloRadius;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            float nearest = INFINITY;
            for (const TLineSegment& segment : segments)
                nearest = std::min(nearest, distanceToSegment(px, py, segment));
            // Coverage of a line coreRadius wide on each side, with a one-pixel soft edge.
            const float core = std::clamp(pen.coreRadius + 0.5f - nearest, 0.0f, 1.0f);
            // The halo ends at three deviations, so an icon's background is exactly empty rather than faintly
            // lit: black masks cleanly and neighbouring icons in a strip do not bleed into each other.
            const float reach = 1.0f - smoothStep(2.0f * pen.haloRadius, 3.0f * pen.haloRadius, nearest);
            const float halo = pen.haloStrength * std::exp(-nearest * nearest / twoSigmaSquared) * reach;
            const float coloured = core + halo;
            const float white = core * pen.whiteHeat;
            float* pixel = &light[(static_cast<size_t>(y) * width + x) * 3];
            pixel[0] += pen.red * coloured + white;
            pixel[1] += pen.green * coloured + white;
            pixel[2] += pen.blue * coloured + white;
        }
    }
}

void TGlowCanvas::writeInto(TPixelImage& image, int left, int top) const {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float* pixel = &light[(static_cast<size_t>(y) * width + x) * 3];
            uint8_t* out = image.at(left + x, top + y);
            if (image.channels == 3) {
                for (int c = 0; c < 3; ++c)
                    out[c] = toByte(pixel[c]);
                continue;
            }
            const float alpha = std::min(1.0f, std::max({pixel[0], pixel[1], pixel[2]}));
            for (int c = 0; c < 3; ++c)
                out[c] = alpha > 0 ? toByte(pixel[c] / alpha) : 0;
            out[3] = toByte(alpha);
        }
    }
}
