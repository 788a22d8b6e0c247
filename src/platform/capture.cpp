// Screen capture: reading back the logical picture and writing pixel buffers as PNG files (encoded by the
// build's picture codec).
#include "platform/display.h"

#include "platform/assets.h"
#include "platform/backend.h"
#include "platform/image_decoders.h"
#include "platform/render.h"

#include <algorithm>
#include <string>

PixelBuffer grabScreenRegion(int x, int y, int w, int h) {
    if (!rendererReady()) return nullptr;
    // Only the part on the screen can be copied; the buffer is that part.
    const int64_t left = std::max(x, 0);
    const int64_t top = std::max(y, 0);
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + w, logicalWidth());
    const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + h, logicalHeight());
    if (right <= left || bottom <= top) return nullptr;

    auto buffer = std::make_shared<TPixelBuffer>();
    buffer->width = static_cast<int>(right - left);
    buffer->height = static_cast<int>(bottom - top);
    buffer->rgba.resize(static_cast<size_t>(buffer->width) * buffer->height * 4);
    // OpenGL counts rows from the bottom.
    readTarget(static_cast<int>(left), static_cast<int>(logicalHeight() - bottom), buffer->width,
               buffer->height, buffer->rgba.data());
    const size_t rowBytes = static_cast<size_t>(buffer->width) * 4;
    for (int row = 0; row < buffer->height / 2; ++row) {
        uint8_t* upper = &buffer->rgba[row * rowBytes];
        uint8_t* lower = &buffer->rgba[(buffer->height - 1 - row) * rowBytes];
        std::swap_ranges(upper, upper + rowBytes, lower);
    }
    return buffer;
}

bool encodePixelBufferPng(const PixelBuffer& buffer, int level, std::vector<uint8_t>& bytes) {
    if (!buffer || buffer->width <= 0 || buffer->height <= 0 ||
        buffer->rgba.size() != static_cast<size_t>(buffer->width) * buffer->height * 4)
        return false;
    // A fully opaque picture (every screenshot) is written without an alpha channel.
    bool opaque = true;
    for (size_t i = 3; i < buffer->rgba.size() && opaque; i += 4)
        opaque = buffer->rgba[i] == 255;
    const int channels = opaque ? 3 : 4;
    std::vector<uint8_t> rgb;
    if (opaque) {
        rgb.reserve(buffer->rgba.size() / 4 * 3);
        for (size_t i = 0; i < buffer->rgba.size(); i += 4)
            rgb.insert(rgb.end(), &buffer->rgba[i], &buffer->rgba[i] + 3);
    }
    uint8_t* pixels = opaque ? rgb.data() : const_cast<uint8_t*>(buffer->rgba.data());
    return encodePng(pixels, buffer->width, buffer->height, channels, std::clamp(level, 0, 9), bytes);
}

int savePixelBufferPng(const PixelBuffer& buffer, std::string_view path, int level) {
    std::vector<uint8_t> bytes;
    if (!encodePixelBufferPng(buffer, level, bytes)) return 0;
    const std::unique_ptr<TStream> file = openStream(path, true);
    if (!file) return 0;
    const bool written = file->write(bytes.data(), bytes.size()) == bytes.size() && file->flush();
    backendFilesChanged();
    return written ? 1 : 0;
}
