// Loading pictures: masking, picture strips cut into frames of one shared texture, and the larger
// renditions an embedded picture comes with, made when a render scale first asks for them. The PNG
// decoder is the build's picture codec (codecs/).
#include "platform/display.h"

#include "platform/image_decoders.h"
#include "platform/render.h"

#include "platform/assets.h"

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

// The renditions of one picture and how its frames sit in the image, which is the same at every factor.
struct TPictureLevels {
    struct TLevel {
        TPictureLevelEntry source;
        std::vector<TPictureFrame> frames; // empty until made
        bool asked = false;
    };
    std::vector<TLevel> levels; // smallest factor first
    int imageWidth = 0, imageHeight = 0;
    int flags = 0;
    std::vector<TPictureFrame> layout; // the frames' rectangles, without a texture
};

namespace {

void attachLevels(TPicture& picture, std::string_view name, const TDecodedImage& image) {
    std::vector<TPictureLevelEntry> found = findPictureLevels(name);
    if (found.empty()) return;
    auto levels = std::make_shared<TPictureLevels>();
    for (const TPictureLevelEntry& entry : found)
        levels->levels.push_back({entry, {}, false});
    levels->imageWidth = image.width;
    levels->imageHeight = image.height;
    levels->flags = picture.flags;
    for (const TPictureFrame& frame : picture.frames)
        levels->layout.push_back({nullptr, frame.u0, frame.v0, frame.u1, frame.v1});
    picture.levels = std::move(levels);
}

// Decodes a rendition and cuts it like the picture; it stays unmade if it is not factor times the size.
void makeLevel(TPictureLevels& levels, TPictureLevels::TLevel& level) {
    TDecodedImage image;
    const int factor = level.source.factor;
    if (!decodePng(level.source.data, level.source.size, image) ||
        image.width != levels.imageWidth * factor || image.height != levels.imageHeight * factor)
        return;
    // Drawn smaller than it is at any scale short of its factor.
    const std::shared_ptr<TTexture> texture = textureFor(image, levels.flags | PictureMipmapped);
    if (!texture) return;
    for (TPictureFrame frame : levels.layout) {
        frame.texture = texture;
        level.frames.push_back(frame);
    }
}

} // namespace

const TPictureFrame* pictureFrameAtScale(const TPicture& picture, int frame, float scale) {
    const TPictureFrame* base = &picture.frames[static_cast<size_t>(frame)];
    if (scale <= 1.0f || !picture.levels) return base;
    std::vector<TPictureLevels::TLevel>& levels = picture.levels->levels;
    // The smallest rendition at least as large as the scale, else the largest; one not made yet is asked
    // for, and the largest made one below it stands in.
    size_t wanted = levels.size() - 1;
    for (size_t i = 0; i < levels.size(); ++i)
        if (levels[i].source.factor >= scale - 0.001f) {
            wanted = i;
            break;
        }
    for (size_t i = wanted + 1; i-- > 0;) {
        TPictureLevels::TLevel& level = levels[i];
        if (!level.frames.empty()) return &level.frames[static_cast<size_t>(frame)];
        if (i != wanted || level.asked) continue;
        level.asked = true;
        afterFrameShown([weak = std::weak_ptr<TPictureLevels>(picture.levels), i] {
            if (const std::shared_ptr<TPictureLevels> alive = weak.lock())
                makeLevel(*alive, alive->levels[i]);
        });
    }
    return base;
}

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
    attachLevels(*picture, name, image);
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
    attachLevels(*picture, name, image);
    return picture;
}

void centrePictureHandle(const Picture& picture) {
    if (!picture) return;
    picture->handleX = picture->width * 0.5f;
    picture->handleY = picture->height * 0.5f;
}
