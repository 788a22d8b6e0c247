#include "png_file.h"

#include "output_file.h"

#include <png.h>

namespace {

void appendToBuffer(png_structp png, png_bytep bytes, png_size_t length) {
    auto* buffer = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    buffer->insert(buffer->end(), bytes, bytes + length);
}

void flushNothing(png_structp) {}

} // namespace

void writePngFile(const std::string& outDir, std::string_view fileName, const TPixelImage& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) failGenerator("libpng could not start encoding " + std::string(fileName));

    std::vector<uint8_t> encoded;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        failGenerator("libpng failed encoding " + std::string(fileName));
    }
    png_set_write_fn(png, &encoded, appendToBuffer, flushNothing);
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_IHDR(png, info, image.width, image.height, 8,
                 image.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    const size_t rowBytes = static_cast<size_t>(image.width) * image.channels;
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.pixels.data() + y * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);

    writeOutputFile(outDir, fileName, encoded);
}
