// The small pictures: the glow sprite every glow line is cut from, the two heads-up icons and the enemy
// icons of the statistics screens. The title logo has a file of its own (title_logo.cpp).
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

uint8_t glowAlpha(int peak, int x, int y) {
    const bool inCore = x >= 30 && x <= 33 && y >= 30 && y <= 33;
    if (inCore) return 255;
    const double dx = x - glowCentre;
    const double dy = y - glowCentre;
    const double halo =
        peak * std::exp(-(dx * dx + dy * dy) / (2 * glowSigma * glowSigma)) * glowEdgeFade(dx, dy);
    return static_cast<uint8_t>(std::lround(halo));
}

void writeGlowSprite(const std::string& outDir) {
    TPixelImage image(2 * glowFrameSize, 2 * glowFrameSize, 4);
    for (int frame = 0; frame < 4; ++frame) {
        const int left = (frame % 2) * glowFrameSize;
        const int top = (frame / 2) * glowFrameSize;
        for (int y = 0; y < glowFrameSize; ++y) {
            for (int x = 0; x < glowFrameSize; ++x) {
                uint8_t* pixel = image.at(left + x, top + y);
                pixel[0] = pixel[1] = pixel[2] = 255;
                pixel[3] = glowAlpha(glowPeaks[frame], x, y);
            }
        }
    }
    writePngFile(outDir, "glowing.png", image);
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

TGlowPen hudGreenPen() {
    TGlowPen pen;
    pen.red = 0.30f;
    pen.green = 1.0f;
    pen.blue = 0.35f;
    pen.coreRadius = 0.65f;
    pen.haloRadius = 1.6f;
    pen.haloStrength = 0.55f;
    pen.whiteHeat = 0.2f;
    return pen;
}

void writeLifeIcon(const std::string& outDir) {
    const TShapeTable& craft = shapeTable("player_small.xml");
    TGlowCanvas canvas(hudIconSize, hudIconSize);
    // The craft spans y -10..12; centring on y = 1 keeps the emblem in the middle of the icon.
    const std::vector<TLineSegment> emblem =
        placeOutline(craft, 1.0f, 0, 1, hudIconSize / 2.0f, hudIconSize / 2.0f);
    canvas.addOutline(emblem, hudGreenPen());
    TPixelImage image(hudIconSize, hudIconSize, 3);
    canvas.writeInto(image, 0, 0);
    writePngFile(outDir, "player_logo2.png", image);
}

void writeBombIcon(const std::string& outDir) {
    TGlowCanvas canvas(hudIconSize, hudIconSize);
    const float centre = hudIconSize / 2.0f;
    // Rings this close need a tighter halo, or they melt into one green disc at 34 pixels.
    TGlowPen pen = hudGreenPen();
    pen.haloRadius = 1.2f;
    pen.coreRadius = 0.55f;
    for (float radius : {12.5f, 8.0f, 3.5f})
        canvas.addOutline(ringOutline(centre, centre, radius), pen);
    TPixelImage image(hudIconSize, hudIconSize, 3);
    canvas.writeInto(image, 0, 0);
    writePngFile(outDir, "bomb_logo.png", image);
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

void drawEnemyIcon(TPixelImage& sheet, int kind) {
    const TShapeTable& table = shapeTable(enemyIcons[kind].shapeFile);
    const TBounds bounds = outlineBounds(table);
    const float span = static_cast<float>(std::max(bounds.right - bounds.left, bounds.bottom - bounds.top));
    const float scale = enemyIconExtent / span * enemyIcons[kind].sizeFactor;
    const float middleX = (bounds.left + bounds.right) / 2.0f;
    const float middleY = (bounds.top + bounds.bottom) / 2.0f;

    TGlowPen pen;
    pen.red = table.red / 255.0f;
    pen.green = table.green / 255.0f;
    pen.blue = table.blue / 255.0f;
    pen.coreRadius = 0.6f;
    pen.haloRadius = 1.9f;
    pen.haloStrength = 0.6f;
    pen.whiteHeat = 0.3f;

    TGlowCanvas canvas(enemyIconSize, enemyIconSize);
    const float centre = enemyIconSize / 2.0f;
    canvas.addOutline(placeOutline(table, scale, middleX, middleY, centre, centre), pen);
    canvas.writeInto(sheet, (kind % enemyIconsPerRow) * enemyIconSize,
                     (kind / enemyIconsPerRow) * enemyIconSize);
}

void writeEnemyIcons(const std::string& outDir) {
    TPixelImage sheet(enemyIconsPerRow * enemyIconSize, 2 * enemyIconSize, 4);
    for (int kind = 0; kind < 10; ++kind)
        drawEnemyIcon(sheet, kind);
    writePngFile(outDir, "enemyicons.png", sheet);
}

} // namespace

void writePictureAssets(const std::string& outDir) {
    writeGlowSprite(outDir);
    writeLifeIcon(outDir);
    writeBombIcon(outDir);
    writeTitleLogo(outDir);
    writeEnemyIcons(outDir);
}
