// The small pictures: the glow sprite every glow line is cut from, the two heads-up icons and the enemy
// icons of the statistics screens. The title logo has a file of its own (title_logo.cpp).
//
// Every picture is drawn at its own size and again at two and four times the size ("glowing@2x.png"),
// from the same description in the same units, for displays that draw the game at a larger scale: the
// lines keep their one-pixel soft edge at every size, so the larger ones are sharper, not blurred copies.
#include "generated_assets.h"
#include "glow_canvas.h"
#include "png_file.h"
#include "shape_tables.h"
#include "title_logo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

// ---- Glow sprite ---------------------------------------------------------------------------------------

constexpr int glowFrameSize = 64;
constexpr double glowCentre = 31.5;
constexpr double glowSigma = 14.0;
// Halo strength of frames 0..3; the game picks the frame by how strongly a line should glow.
constexpr int glowPeaks[4] = {57, 28, 14, 8};

// The plain Gaussian still has a few percent of its peak left at the middle of each frame edge, which the
// line strips would show as a visible seam; the halo is faded out over the outer third so the edges are
// (almost) dark.
double glowEdgeFade(double dx, double dy) {
    const double reach = std::max(std::abs(dx), std::abs(dy));
    constexpr double fadeStart = 21.0;
    constexpr double fadeEnd = 32.0;
    if (reach <= fadeStart) return 1.0;
    return 0.5 *
           (1.0 + std::cos(std::numbers::pi * std::min(1.0, (reach - fadeStart) / (fadeEnd - fadeStart))));
}

// (u, v): the pixel centre less a half, in pixels of the sprite at its own size (the pixel's own
// coordinates there).
uint8_t glowAlpha(int peak, double u, double v) {
    // The opaque core is the 4 x 4 pixels 30..33 of the sprite at its own size, whatever the size drawn.
    const bool inCore = u >= 29.5 && u < 33.5 && v >= 29.5 && v < 33.5;
    if (inCore) return 255;
    const double dx = u - glowCentre;
    const double dy = v - glowCentre;
    const double halo =
        peak * std::exp(-(dx * dx + dy * dy) / (2 * glowSigma * glowSigma)) * glowEdgeFade(dx, dy);
    return static_cast<uint8_t>(std::lround(halo));
}

void writeGlowSprite(const std::string& outDir, int factor) {
    const int frameSize = glowFrameSize * factor;
    TPixelImage image(2 * frameSize, 2 * frameSize, 4);
    for (int frame = 0; frame < 4; ++frame) {
        const int left = (frame % 2) * frameSize;
        const int top = (frame / 2) * frameSize;
        for (int y = 0; y < frameSize; ++y) {
            for (int x = 0; x < frameSize; ++x) {
                uint8_t* pixel = image.at(left + x, top + y);
                pixel[0] = pixel[1] = pixel[2] = 255;
                pixel[3] = glowAlpha(glowPeaks[frame], (x + 0.5) / factor - 0.5, (y + 0.5) / factor - 0.5);
            }
        }
    }
    writePngFile(outDir, pictureFileName("glowing", factor), image);
}

// ---- Outlines ------------------------------------------------------------------------------------------

// The segments of a shape table placed on a canvas: scaled about the table's own origin, then moved so
// that (offsetX, offsetY) in shape units lands on the canvas point (centreX, centreY).
std::vector<TLineSegment> placeOutline(const TShapeTable& table, float scale, float offsetX, float offsetY,
                                       float centreX, float centreY) {
    std::vector<TLineSegment> placed;
    for (const TShapeSegment& segment : table.segments) {
        placed.push_back({centreX + (segment.x1 - offsetX) * scale, centreY + (segment.y1 - offsetY) * scale,
                          centreX + (segment.x2 - offsetX) * scale,
                          centreY + (segment.y2 - offsetY) * scale});
    }
    return placed;
}

std::vector<TLineSegment> ringOutline(float centreX, float centreY, float radius) {
    constexpr int sides = 64;
    std::vector<TLineSegment> ring;
    for (int k = 0; k < sides; ++k) {
        const double a0 = 2 * std::numbers::pi * k / sides;
        const double a1 = 2 * std::numbers::pi * (k + 1) / sides;
        ring.push_back({static_cast<float>(centreX + radius * std::cos(a0)),
                        static_cast<float>(centreY + radius * std::sin(a0)),
                        static_cast<float>(centreX + radius * std::cos(a1)),
                        static_cast<float>(centreY + radius * std::sin(a1))});
    }
    return ring;
}

// ---- Heads-up icons ------------------------------------------------------------------------------------

// Both icons are drawn tinted green by the heads-up display and their black is masked away, so they are
// plain RGB with a true black background.
constexpr int hudIconSize = 34;

TGlowPen hudGreenPen(float factor) {
    TGlowPen pen;
    pen.red = 0.30f;
    pen.green = 1.0f;
    pen.blue = 0.35f;
    pen.coreRadius = 0.65f * factor;
    pen.haloRadius = 1.6f * factor;
    pen.haloStrength = 0.55f;
    pen.whiteHeat = 0.2f;
    return pen;
}

void writeLifeIcon(const std::string& outDir, int factor) {
    const float scale = static_cast<float>(factor);
    const int size = hudIconSize * factor;
    const TShapeTable& craft = shapeTable("player_small.xml");
    TGlowCanvas canvas(size, size);
    // The craft spans y -10..12; centring on y = 1 keeps the emblem in the middle of the icon.
    const std::vector<TLineSegment> emblem = placeOutline(craft, scale, 0, 1, size / 2.0f, size / 2.0f);
    canvas.addOutline(emblem, hudGreenPen(scale));
    TPixelImage image(size, size, 3);
    canvas.writeInto(image, 0, 0);
    writePngFile(outDir, pictureFileName("player_logo2", factor), image);
}

void writeBombIcon(const std::string& outDir, int factor) {
    const float scale = static_cast<float>(factor);
    const int size = hudIconSize * factor;
    TGlowCanvas canvas(size, size);
    const float centre = size / 2.0f;
    // Rings this close need a tighter halo, or they melt into one green disc at 34 pixels.
    TGlowPen pen = hudGreenPen(scale);
    pen.haloRadius = 1.2f * scale;
    pen.coreRadius = 0.55f * scale;
    for (float radius : {12.5f, 8.0f, 3.5f})
        canvas.addOutline(ringOutline(centre, centre, radius * scale), pen);
    TPixelImage image(size, size, 3);
    canvas.writeInto(image, 0, 0);
    writePngFile(outDir, pictureFileName("bomb_logo", factor), image);
}

// ---- Enemy icons ---------------------------------------------------------------------------------------

constexpr int enemyIconSize = 32;
constexpr int enemyIconsPerRow = 5;
// Outlines are scaled to fill about this many pixels, leaving room for the halo.
constexpr float enemyIconExtent = 22.0f;

struct TEnemyIcon {
    const char* shapeFile;
    float sizeFactor; // a splinter is its splitter at half size, and its icon says so
};

// Indexed by enemy kind code 0..9.
constexpr TEnemyIcon enemyIcons[10] = {
    {"enemy0.xml", 1.0f}, {"enemy1.xml", 1.0f}, {"enemy2.xml", 1.0f}, {"enemy3.xml", 1.0f},
    {"enemy3.xml", 0.5f}, {"enemy5.xml", 1.0f}, {"enemy6.xml", 1.0f}, {"enemy7.xml", 1.0f},
    {"enemy8.xml", 1.0f}, {"enemy9.xml", 1.0f},
};

struct TBounds {
    int left, top, right, bottom;
};

TBounds outlineBounds(const TShapeTable& table) {
    TBounds bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const TShapeSegment& segment : table.segments) {
        bounds.left = std::min({bounds.left, segment.x1, segment.x2});
        bounds.right = std::max({bounds.right, segment.x1, segment.x2});
        bounds.top = std::min({bounds.top, segment.y1, segment.y2});
        bounds.bottom = std::max({bounds.bottom, segment.y1, segment.y2});
    }
    return bounds;
}

void drawEnemyIcon(TPixelImage& sheet, int kind, int factor) {
    const float size = static_cast<float>(factor);
    const int iconSize = enemyIconSize * factor;
    const TShapeTable& table = shapeTable(enemyIcons[kind].shapeFile);
    const TBounds bounds = outlineBounds(table);
    const float span = static_cast<float>(std::max(bounds.right - bounds.left, bounds.bottom - bounds.top));
    const float scale = enemyIconExtent / span * enemyIcons[kind].sizeFactor * size;
    const float middleX = (bounds.left + bounds.right) / 2.0f;
    const float middleY = (bounds.top + bounds.bottom) / 2.0f;

    TGlowPen pen;
    pen.red = table.red / 255.0f;
    pen.green = table.green / 255.0f;
    pen.blue = table.blue / 255.0f;
    pen.coreRadius = 0.6f * size;
    pen.haloRadius = 1.9f * size;
    pen.haloStrength = 0.6f;
    pen.whiteHeat = 0.3f;

    TGlowCanvas canvas(iconSize, iconSize);
    const float centre = iconSize / 2.0f;
    canvas.addOutline(placeOutline(table, scale, middleX, middleY, centre, centre), pen);
    canvas.writeInto(sheet, (kind % enemyIconsPerRow) * iconSize, (kind / enemyIconsPerRow) * iconSize);
}

void writeEnemyIcons(const std::string& outDir, int factor) {
    const int iconSize = enemyIconSize * factor;
    TPixelImage sheet(enemyIconsPerRow * iconSize, 2 * iconSize, 4);
    for (int kind = 0; kind < 10; ++kind)
        drawEnemyIcon(sheet, kind, factor);
    writePngFile(outDir, pictureFileName("enemyicons", factor), sheet);
}

} // namespace

std::string pictureFileName(std::string_view stem, int factor) {
    std::string name(stem);
    if (factor != 1) name += "@" + std::to_string(factor) + "x";
    return name + ".png";
}

void writePictureAssets(const std::string& outDir) {
    for (const int factor : PictureFactors) {
        writeGlowSprite(outDir, factor);
        writeLifeIcon(outDir, factor);
        writeBombIcon(outDir, factor);
        writeTitleLogo(outDir, factor);
        writeEnemyIcons(outDir, factor);
    }
}
