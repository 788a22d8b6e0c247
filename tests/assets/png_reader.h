// Decodes a PNG held in memory exactly as stored (no conversions), so tests can check both the header
// and the pixels the game will see.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct TDecodedPng {
    bool valid = false;
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0; // PNG_COLOR_TYPE_*
    int channels = 0;
    std::vector<uint8_t> pixels;

    const uint8_t* at(uint32_t x, uint32_t y) const {
        return &pixels[(static_cast<size_t>(y) * width + x) * channels];
    }
};

TDecodedPng decodePng(std::span<const uint8_t> bytes);
