// The glow sprite sheet for the scenes that draw glow lines without a game.
#include "bench.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

Picture benchGlowPicture() {
    if (Picture embedded = loadPictureStrip("incbin::glowing.png", 64, 64, 0, 4, -1)) return embedded;
    static const int peaks[4] = {57, 28, 14, 8};
    auto sheet = std::make_shared<TPixelBuffer>();
    sheet->width = 128;
    sheet->height = 128;
    sheet->rgba.assign(128 * 128 * 4, 255);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int frameX = x % 64, frameY = y % 64;
            const double dx = frameX - 31.5, dy = frameY - 31.5;
            const bool core = frameX >= 30 && frameX <= 33 && frameY >= 30 && frameY <= 33;
            const double halo =
                peaks[(y / 64) * 2 + x / 64] * std::exp(-(dx * dx + dy * dy) / (2.0 * 14 * 14));
            sheet->rgba[(static_cast<size_t>(y) * 128 + x) * 4 + 3] =
                static_cast<uint8_t>(core ? 255 : std::lround(halo));
        }
    const std::string path = "/tmp/kelvanor_bench_glow_" + std::to_string(getpid()) + ".png";
    if (!savePixelBufferPng(sheet, path, 1)) return nullptr;
    Picture picture = loadPictureStrip(path, 64, 64, 0, 4, -1);
    std::remove(path.c_str());
    return picture;
}
