// The level-20 world drawn the way an immediate-mode renderer would draw it: one draw call per glow line.
// It draws the very world of the level20 scene, frame by frame beside it, so the ratio of the two draw
// times is what batching the glow lines is worth on this machine.
#include "bench.h"

#include "app/game.h"

#include <cstdio>
#include <string>

namespace {

void draw() {
    setGlowLinePerDrawCall(true);
    game->drawWorld();
    setGlowLinePerDrawCall(false);
}

std::string extraKeys(const TBenchResult& result) {
    char text[64];
    std::snprintf(text, sizeof text, " draw_calls_per_glow_line=%.2f",
                  result.glowLines > 0 ? result.drawCalls / result.glowLines : 0.0);
    return text;
}

const bool registered =
    registerBenchScene({"level20_per_line", nullptr, nullptr, draw, extraKeys, "level20", {}});

} // namespace
