// Layers, each a float mask the size of the picture, composed at the end:
//   letters   - the word rasterised by FreeType, slanted forward for a sense of speed;
//   depth     - the letters blurred a little, which tells the middle of a stroke from its edge;
//   glows     - the letters and the streak blurred wide and narrow, the orange light around everything;
//   streak    - a thin horizontal light line under the word that fades towards both ends.
// The letters are white-hot in the middle of each stroke and orange at the rim, over the glow.
// Every length is in pixels of the logo at its own size, times the factor it is drawn at.
#include "title_logo.h"

#include "generated_assets.h"
#include "output_file.h"
#include "picture_math.h"
#include "png_file.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace {

constexpr int logoSize = 690;
constexpr std::string_view logoWord = "KELVANOR";
constexpr float wordWidth = 600.0f;    // the lettering spans this many pixels
constexpr float wordSlant = 0.16f;     // forward lean, x shift per pixel of height
constexpr float letterSpacing = 0.06f; // extra advance per letter, in ems

struct TMask {
    explicit TMask(int size) : width(size), height(size), values(static_cast<size_t>(size) * size, 0.0f) {}

    int width;
    int height;
    std::vector<float> values;

    float& at(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
    float at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

float mix(float a, float b, float t) {
    return a + (b - a) * t;
}

// ---- Lettering -----------------------------------------------------------------------------------------

class TFontRasteriser {
public:
    explicit TFontRasteriser(const char* fontPath) {
        if (FT_Init_FreeType(&library) != 0) failGenerator("FreeType could not start");
        if (FT_New_Face(library, fontPath, 0, &face) != 0)
            failGenerator(std::string("cannot load the logo typeface ") + fontPath);
    }
    ~TFontRasteriser() {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
    TFontRasteriser(const TFontRasteriser&) = delete;
    TFontRasteriser& operator=(const TFontRasteriser&) = delete;

    // Width of the word's pen travel at the given pixel size, slant not included.
    float measure(int pixelSize) {
        float pen = 0;
        layOut(
            pixelSize, [&](const FT_GlyphSlot, float) {}, pen);
        return pen;
    }

    // Draws the word with its baseline at baselineY, starting at penX, into mask (maximum of coverages).
    void draw(int pixelSize, float penX, int baselineY, TMask& mask) {
        FT_Matrix slant{0x10000, static_cast<FT_Fixed>(wordSlant * 0x10000), 0, 0x10000};
        FT_Set_Transform(face, &slant, nullptr);
        layOut(
            pixelSize,
            [&](const FT_GlyphSlot glyph, float glyphPen) {
                const FT_Bitmap& bitmap = glyph->bitmap;
                const int left = static_cast<int>(std::lround(glyphPen)) + glyph->bitmap_left;
                const int top = baselineY - glyph->bitmap_top;
                for (unsigned row = 0; row < bitmap.rows; ++row) {
                    for (unsigned column = 0; column < bitmap.width; ++column) {
                        const int x = left + static_cast<int>(column);
                        const int y = top + static_cast<int>(row);
                        if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
                        const float coverage = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
                        mask.at(x, y) = std::max(mask.at(x, y), coverage);
                    }
                }
            },
            penX);
        FT_Set_Transform(face, nullptr, nullptr);
    }

    int capHeight(int pixelSize) {
        FT_Set_Pixel_Sizes(face, 0, pixelSize);
        if (FT_Load_Char(face, 'K', FT_LOAD_DEFAULT) != 0) failGenerator("the logo typeface has no K");
        return static_cast<int>(face->glyph->metrics.horiBearingY / 64);
    }

private:
    template <typename GlyphFunction> void layOut(int pixelSize, GlyphFunction&& onGlyph, float& pen) {
        FT_Set_Pixel_Sizes(face, 0, pixelSize);
        FT_UInt previous = 0;
        for (char letter : logoWord) {
            const FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(letter));
            if (previous != 0 && FT_HAS_KERNING(face)) {
                FT_Vector kerning{};
                FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kerning);
                pen += kerning.x / 64.0f;
            }
            if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) failGenerator("cannot render a logo letter");
            onGlyph(face->glyph, pen);
            pen += face->glyph->advance.x / 64.0f + letterSpacing * pixelSize;
            previous = index;
        }
        pen -= letterSpacing * pixelSize;
    }

    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

struct TWordPlacement {
    int baselineY = 0;
    int capHeight = 0;
};

TWordPlacement drawWord(TMask& letters, int factor) {
    TFontRasteriser font(KELVANOR_LOGO_FONT);
    constexpr int probeSize = 100;
    const int size = logoSize * factor;
    const int pixelSize = static_cast<int>(probeSize * (wordWidth * factor) / font.measure(probeSize));
    const float measured = font.measure(pixelSize);
    TWordPlacement placement;
    placement.capHeight = font.capHeight(pixelSize);
    placement.baselineY = (size + placement.capHeight) / 2;
    // The slant pushes the tops of the letters right; shifting the pen back by half of it keeps the word
    // visually centred.
    const float penX = (size - measured) / 2 - wordSlant * placement.capHeight / 2;
    font.draw(pixelSize, penX, placement.baselineY, letters);
    return placement;
}

// ---- Blurs ---------------------------------------------------------------------------------------------

// One box blur along rows (step 1) or columns (step width), with the outside taken as empty.
void boxBlurLines(std::vector<float>& values, int lines, int length, int lineStep, int step, int radius) {
    std::vector<float> line(length);
    const float scale = 1.0f / (2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        float* start = values.data() + static_cast<size_t>(l) * lineStep;
        for (int i = 0; i < length; ++i)
            line[i] = start[static_cast<size_t>(i) * step];
        float sum = 0;
        for (int i = 0; i <= radius && i < length; ++i)
            sum += line[i];
        for (int i = 0; i < length; ++i) {
            start[static_cast<size_t>(i) * step] = sum * scale;
            if (i + radius + 1 < length) sum += line[i + radius + 1];
            if (i - radius >= 0) sum -= line[i - radius];
        }
    }
}

// Three box blurs in each direction come close to a Gaussian and cost the same at any radius.
TMask blurred(const TMask& source, int radius) {
    TMask result = source;
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurLines(result.values, result.height, result.width, result.width, 1, radius);
        boxBlurLines(result.values, result.width, result.height, 1, result.width, radius);
    }
    return result;
}

// ---- Streak --------------------------------------------------------------------------------------------

// A thin line of light at row centreY, brightest in the middle and fading out towards halfLength.
void drawStreak(TMask& streak, float centreY, float halfLength, float thickness, float strength) {
    const float middleX = streak.width / 2.0f;
    for (int y = 0; y < streak.height; ++y) {
        const float across = std::abs(y + 0.5f - centreY);
        const float vertical = std::clamp(thickness / 2 + 0.5f - across, 0.0f, 1.0f);
        if (vertical <= 0) continue;
        for (int x = 0; x < streak.width; ++x) {
            const float along = (x + 0.5f - middleX) / halfLength;
            const float fade = std::exp(-along * along * along * along * 2.5f);
            streak.at(x, y) = std::max(streak.at(x, y), vertical * fade * strength);
        }
    }
}

// ---- Composition ---------------------------------------------------------------------------------------

struct TColour {
    float red, green, blue;
};

TColour mix(TColour a, TColour b, float t) {
    return {mix(a.red, b.red, t), mix(a.green, b.green, t), mix(a.blue, b.blue, t)};
}

// The picture is drawn zoomed on the title screen; its border must be fully transparent or the square's
// edge would show as a faint line against the stars.
float borderFade(int x, int y, int size, int factor) {
    const int nearestBorder = std::min({x, y, size - 1 - x, size - 1 - y});
    return smoothStep(0.0f, 40.0f * factor, static_cast<float>(nearestBorder));
}

} // namespace

void writeTitleLogo(const std::string& outDir, int factor) {
    const int size = logoSize * factor;
    const float scale = static_cast<float>(factor);
    TMask letters(size);
    const TWordPlacement word = drawWord(letters, factor);

    TMask streak(size);
    const float streakY = word.baselineY + word.capHeight * 0.36f;
    drawStreak(streak, streakY, 290.0f * scale, 3.5f * scale, 1.0f);
    drawStreak(streak, streakY, 120.0f * scale, 7.0f * scale, 0.9f);
    drawStreak(streak, word.baselineY - word.capHeight * 1.32f, 190.0f * scale, 1.6f * scale, 0.55f);

    TMask shapes = letters;
    for (size_t i = 0; i < shapes.values.size(); ++i)
        shapes.values[i] = std::max(shapes.values[i], streak.values[i]);
    const TMask depth = blurred(letters, 2 * factor);
    const TMask nearGlow = blurred(shapes, 5 * factor);
    const TMask wideGlow = blurred(shapes, 16 * factor);
    const TMask haze = blurred(letters, 48 * factor);

    const TColour emberOrange{1.0f, 0.36f, 0.04f};
    const TColour glowOrange{1.0f, 0.52f, 0.10f};
    const TColour rimOrange{1.0f, 0.58f, 0.12f};
    const TColour hotTop{1.0f, 1.0f, 0.93f};
    const TColour hotBottom{1.0f, 0.86f, 0.42f};

    const float letterTop = static_cast<float>(word.baselineY - word.capHeight);
    TPixelImage image(size, size, 4);
    for (int y = 0; y < size; ++y) {
        const float heightInWord = std::clamp((y - letterTop) / word.capHeight, 0.0f, 1.0f);
        const TColour hot = mix(hotTop, hotBottom, heightInWord);
        for (int x = 0; x < size; ++x) {
            // The glow behind: a tight bright orange close to the shapes, a wide ember-red haze further out.
            const float nearLight = std::min(1.0f, nearGlow.at(x, y) * 1.7f);
            const float wideLight = std::min(1.0f, wideGlow.at(x, y) * 1.5f + haze.at(x, y) * 1.3f);
            const float glowAlpha = std::min(1.0f, nearLight * 0.85f + wideLight * 0.6f);
            const TColour glow = mix(emberOrange, glowOrange, nearLight);

            // The lettering and the streak over it: white-hot deep inside a stroke, orange at its rim.
            const float letterCover = letters.at(x, y);
            const float streakCover = streak.at(x, y);
            const float cover = std::max(letterCover, streakCover);
            const float heat =
                letterCover >= streakCover ? smoothStep(0.55f, 0.97f, depth.at(x, y)) : streakCover;
            const TColour fill = mix(rimOrange, hot, heat);

            const float alpha = (cover + glowAlpha * (1 - cover)) * borderFade(x, y, size, factor);
            uint8_t* pixel = image.at(x, y);
            if (alpha <= 0) continue;
            pixel[0] = toByte((fill.red * cover + glow.red * glowAlpha * (1 - cover)) / alpha);
            pixel[1] = toByte((fill.green * cover + glow.green * glowAlpha * (1 - cover)) / alpha);
            pixel[2] = toByte((fill.blue * cover + glow.blue * glowAlpha * (1 - cover)) / alpha);
            pixel[3] = toByte(alpha);
        }
    }
    writePngFile(outDir, pictureFileName("logo", factor), image);
}
