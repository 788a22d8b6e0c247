// Loading pictures: masking, picture strips cut into frames of one shared texture. The PNG decoder is the
// build's picture codec (codecs/).
#include "platform/display.h"

#include "platform/image_decoders.h"
#include "platform/render.h"

#include <cstring>

namespace {

constexpr size_t maxPictureFileBytes = size_t{64} << 20;

bool loadImage(std::string_view name, TDecodedImage& image) {
    std::vector<uint8_t> bytes;
    return readWholeResource(name, bytes, maxPictureFileBytes) &&
           decodePng(bytes.data(), bytes.size(), image);
}

int resolveFlags(int flags) {
    return flags == -1 ? drawState().defaultPictureFlags : (flags & 7);
}

// Pictures without alpha of their own get it from the mask colour: that colour transparent, all else opaque.
void applyMask(TDecodedImage& image) {
    const TDrawState& state = drawState();
    for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        uint8_t* pixel = &image.rgba[i];
        const bool masked =
            pixel[0] == state.maskRed && pixel[1] == state.maskGreen && pixel[2] == state.maskBlue;
        pixel[3] = masked ? 0 : 255;
    }
}

std::shared_ptr<TTexture> textureFor(TDecodedImage& image, int flags) {
    if ((flags & PictureMasked) && !image.ownAlpha) applyMask(image);
    return createTexture(image.rgba.data(), image.width, image.height, flags);
}

} // namespace

Picture loadPicture(std::string_view name, int flags) {
    flags = resolveFlags(flags);
    TDecodedImage image;
    if (!loadImage(name, image)) return nullptr;
    std::shared_ptr<TTexture> texture = textureFor(image, flags);
    if (!texture) return nullptr;
    auto picture = std::make_shared<TPicture>();
    picture->width = image.width;
    picture->height = image.height;
    picture->flags = flags;
    picture->frames.push_back(TPictureFrame{texture, 0, 0, 1, 1});
    return picture;
}

Picture loadPictureStrip(std::string_view name, int cellWidth, int cellHeight, int firstCell, int cellCount,
                         int flags) {
    if (cellWidth <= 0 || cellHeight <= 0 || firstCell < 0 || cellCount <= 0) return nullptr;
    flags = resolveFlags(flags);
    TDecodedImage image;
    if (!loadImage(name, image)) return nullptr;
    const int columns = image.width / cellWidth;
    const int rows = image.height / cellHeight;
    if (static_cast<int64_t>(firstCell) + cellCount > static_cast<int64_t>(columns) * rows) return nullptr;
    std::shared_ptr<TTexture> texture = textureFor(image, flags);
    if (!texture) return nullptr;

    auto picture = std::make_shared<TPicture>();
    picture->width = cellWidth;
    picture->height = cellHeight;
    picture->flags = flags;
    picture->frames.reserve(static_cast<size_t>(cellCount));
    const float imageWidth = static_cast<float>(image.width);
    const float imageHeight = static_cast<float>(image.height);
    for (int cell = firstCell; cell < firstCell + cellCount; ++cell) {
        const int left = (cell % columns) * cellWidth;
        const int top = (cell / columns) * cellHeight;
        picture->frames.push_back(TPictureFrame{texture, left / imageWidth, top / imageHeight,
                                                (left + cellWidth) / imageWidth,
                                                (top + cellHeight) / imageHeight});
    }
    return picture;
}

void centrePictureHandle(const Picture& picture) {
    if (!picture) return;
    picture->handleX = picture->width * 0.5f;
    picture->handleY = picture->height * 0.5f;
}
