// The picture codec on the desktop: libpng's simplified reader, which converts every layout (palette, grey,
// 16-bit, with or without transparency) to 8-bit RGBA and reports errors by its return value, so a
// truncated or corrupt file can never jump over our own objects.
#include "platform/image_decoders.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>

bool decodePng(const uint8_t* bytes, size_t size, TDecodedImage& image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes, size)) return false;
    if (png.width == 0 || png.height == 0 || png.width > static_cast<png_uint_32>(LargestPictureSide) ||
        png.height > static_cast<png_uint_32>(LargestPictureSide)) {
        png_image_free(&png);
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.ownAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_RGBA;
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr) != 0;
}

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
bool writePng(int width, int height, int colorType, int level, png_bytep* rows, std::vector<uint8_t>* bytes) {
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

bool encodePng(const uint8_t* pixels, int width, int height, int channels, int level,
               std::vector<uint8_t>& bytes) {
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t row = 0; row < rows.size(); ++row)
        rows[row] = const_cast<png_bytep>(pixels) + row * static_cast<size_t>(width) * channels;
    return writePng(width, height, channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, level,
                    rows.data(), &bytes);
}
