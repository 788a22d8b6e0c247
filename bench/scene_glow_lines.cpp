// 20 000 glow lines a frame in mixed glow frames, colours and alphas: the cost of the game's line primitive
// and of keeping consecutive lines in one batch.
#include "bench.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int lineCount = 20000;

struct TBenchLine {
    float x, y;  // centre
    float angle; // degrees
    float spin;  // degrees a second
    float halfLength;
    int frame;
    int red, green, blue;
    float alpha;
};

std::vector<TBenchLine> lines;
float endpoints[lineCount][4];
Picture glow;

void setup() {
    glow = benchGlowPicture();
    lines.resize(lineCount);
    // A fixed pattern rather than random numbers, so every run draws the same frame.
    for (int i = 0; i < lineCount; ++i) {
        TBenchLine& line = lines[static_cast<size_t>(i)];
        line.x = static_cast<float>((i * 37) % 800);
        line.y = static_cast<float>((i * 53) % 600);
        line.angle = static_cast<float>((i * 29) % 360);
        line.spin = static_cast<float>((i % 7) * 20 - 60);
        line.halfLength = 4.0f + static_cast<float>(i % 13);
        line.frame = i % 4;
        line.red = (i * 71) % 256;
        line.green = (i * 113) % 256;
        line.blue = (i * 197) % 256;
        line.alpha = 0.25f + static_cast<float>(i % 4) * 0.25f;
    }
}

void update(float dt) {
    for (int i = 0; i < lineCount; ++i) {
        TBenchLine& line = lines[static_cast<size_t>(i)];
        line.angle = std::fmod(line.angle + line.spin * dt, 360.0f);
        const float radians = line.angle * 3.14159265f / 180.0f;
        const float dx = std::cos(radians) * line.halfLength;
        const float dy = std::sin(radians) * line.halfLength;
        endpoints[i][0] = line.x - dx;
        endpoints[i][1] = line.y - dy;
        endpoints[i][2] = line.x + dx;
        endpoints[i][3] = line.y + dy;
    }
}

void draw() {
    setBlendMode(BlendAdditive);
    setDrawOrigin(0, 0);
    beginGlowBatch();
    for (int i = 0; i < lineCount; ++i) {
        const TBenchLine& line = lines[static_cast<size_t>(i)];
        setDrawColor(line.red, line.green, line.blue);
        setDrawAlpha(line.alpha);
        drawGlowLine(glow, line.frame, endpoints[i][0], endpoints[i][1], endpoints[i][2], endpoints[i][3], 20,
                     1);
    }
    endGlowBatch();
}

std::string extraKeys(const TBenchResult& result) {
    // The first figure is building and submitting; the second is building the batch alone.
    char text[128];
    std::snprintf(text, sizeof text, " lines=%d us_per_1000_lines=%.1f build_us_per_1000_lines=%.1f",
                  lineCount, result.drawMs * 1000.0 * 1000.0 / lineCount,
                  result.buildMs * 1000.0 * 1000.0 / lineCount);
    return text;
}

const bool registered = registerBenchScene({"glow_lines", setup, update, draw, extraKeys, {}, {}});

} // namespace
