// PNG encoding for the generated pictures. The output depends only on the pixels: no time chunk, a fixed
// compression level and a fixed filter choice, so every build embeds the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TPixelImage {
    int width = 0;
    int height = 0;
    int channels = 4;            // 3 for RGB, 4 for RGBA
    std::vector<uint8_t> pixels; // rows top to bottom, channels interleaved

    TPixelImage(int width, int height, int channels)
        : width(width), height(height), channels(channels),
          pixels(static_cast<size_t>(width) * height * channels, 0) {}

    uint8_t* at(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

void writePngFile(const std::string& outDir, std::string_view fileName, const TPixelImage& image);
