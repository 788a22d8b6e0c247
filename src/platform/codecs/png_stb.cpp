// The picture codec where libpng is not at hand (the browser build): stb_image decodes, stb_image_write
// encodes. Both give the same pixels as libpng for every layout the game's pictures use.
#include "platform/image_decoders.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cstring>

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* first = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), first, first + size);
}

} // namespace

bool decodePng(const uint8_t* bytes, size_t size, TDecodedImage& image) {
    if (size < 8 || size > static_cast<size_t>(INT32_MAX)) return false;
    int width = 0, height = 0, channels = 0;
    // The header first: stb_image would accept other formats, and would allocate whatever a damaged
    // header asks for.
    if (std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8) != 0 ||
        !stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels))
        return false;
    if (width <= 0 || height <= 0 || width > LargestPictureSide || height > LargestPictureSide) return false;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4);
    if (!pixels) return false;
    image.width = width;
    image.height = height;
    // Grey with alpha, RGBA, or a palette or colour key made transparent (which stb reports as a fourth
    // channel of its own).
    image.ownAlpha = channels == 2 || channels == 4;
    image.rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

bool encodePng(const uint8_t* pixels, int width, int height, int channels, int level,
               std::vector<uint8_t>& bytes) {
    // stb's deflate takes 5 as its lowest effort.
    stbi_write_png_compression_level = level < 5 ? 5 : level;
    return stbi_write_png_to_func(appendBytes, &bytes, width, height, channels, pixels, width * channels) !=
           0;
}
