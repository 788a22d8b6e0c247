// Screen capture: reading back the logical picture and writing pixel buffers as PNG files.
#include "platform/display.h"

#include "platform/assets.h"
#include "platform/render.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <new>
#include <string>

namespace {

void appendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        bytes->insert(bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    // Outside the handler: png_error leaves this frame by longjmp.
    if (!stored) png_error(png, "out of memory");
}

void ignorePngFlush(png_structp) {}

// Everything with a destructor lives in the caller: libpng reports errors by longjmp back into this frame.
bool encodePng(int width, int height, int colorType, int level, png_bytep* rows,
               std::vector<uint8_t>* bytes) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, bytes, appendPngBytes, ignorePngFlush);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

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

int savePixelBufferPng(const PixelBuffer& buffer, std::string_view path, int level) {
    if (!buffer || buffer->width <= 0 || buffer->height <= 0 ||
        buffer->rgba.size() != static_cast<size_t>(buffer->width) * buffer->height * 4)
        return 0;
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
    std::vector<png_bytep> rows(static_cast<size_t>(buffer->height));
    for (size_t row = 0; row < rows.size(); ++row)
        rows[row] = pixels + row * buffer->width * channels;
    std::vector<uint8_t> bytes;
    if (!encodePng(buffer->width, buffer->height, opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA,
                   std::clamp(level, 0, 9), rows.data(), &bytes))
        return 0;

    const std::unique_ptr<TStream> file = openStream(path, true);
    if (!file) return 0;
    if (file->write(bytes.data(), bytes.size()) != bytes.size() || !file->flush()) return 0;
    return 1;
}
