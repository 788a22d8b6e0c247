#include "assets/png_reader.h"

#include <cstring>
#include <png.h>

namespace {

struct TReadCursor {
    std::span<const uint8_t> bytes;
    size_t offset = 0;
};

void readFromCursor(png_structp png, png_bytep out, png_size_t length) {
    auto* cursor = static_cast<TReadCursor*>(png_get_io_ptr(png));
    if (cursor->offset + length > cursor->bytes.size()) png_error(png, "read past the end");
    std::memcpy(out, cursor->bytes.data() + cursor->offset, length);
    cursor->offset += length;
}

} // namespace

TDecodedPng decodePng(std::span<const uint8_t> bytes) {
    TDecodedPng result;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return result;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    TReadCursor cursor{bytes};
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return TDecodedPng{};
    }
    png_set_read_fn(png, &cursor, readFromCursor);
    png_read_info(png, info);
    result.width = png_get_image_width(png, info);
    result.height = png_get_image_height(png, info);
    result.bitDepth = png_get_bit_depth(png, info);
    result.colourType = png_get_color_type(png, info);
    result.channels = png_get_channels(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    result.pixels.resize(rowBytes * result.height);
    for (uint32_t y = 0; y < result.height; ++y)
        rows.push_back(result.pixels.data() + y * rowBytes);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    result.valid = true;
    return result;
}
