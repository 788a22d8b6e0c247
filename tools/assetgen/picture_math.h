// Small helpers the generated pictures share: soft edges and the float-to-byte step of every pixel.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// 0 below edge0, 1 above edge1, and a smooth S between them.
inline float smoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// A 0..1 channel value as a byte, rounded to nearest; values outside are clamped.
inline uint8_t toByte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}
