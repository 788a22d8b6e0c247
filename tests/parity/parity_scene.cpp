#include "parity/parity_scene.h"

#include "app/entry.h"
#include "app/game.h"
#include "enemies/level_director.h"
#include "platform/assets.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/random.h"
#include "play/scroll.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

int clockMillis = 200000;

void step(int frames, TSceneCounts& counts) {
    for (int i = 0; i < frames; ++i) {
        clockMillis += 16;
        game->frame();
        ++counts.frames;
    }
}

} // namespace

bool runParityScene(TSceneCounts& counts) {
    const char* video = std::getenv("KELVANOR_TEST_VIDEO");
    setenv("SDL_VIDEODRIVER", (video && *video) ? video : "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!initPlatform() || !openGraphicsWindow(800, 600, 0, 0, 0)) return false;
    registerEmbeddedAssets();
    char pattern[] = "/tmp/kelvanor-parity-XXXXXX";
    const char* scratch = mkdtemp(pattern);
    if (!scratch) return false;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch);
    setClockSource([] { return clockMillis; });
    clearKeyState();

    worldScrollOffset().set(0, 0);
    game = TGame::create();
    game->startRun();
    game->lastFrameTime = elapsedMillis();
    resetRenderStats();
    step(30, counts); // the title: logo, menu, captions, sparks
    seedRandom(4242);
    game->startPlaying();
    game->levelDirector->level = 12;
    game->levelDirector->levelTime = 0;
    step(90, counts);
    const TRenderStats& stats = renderStats();
    counts.drawCalls = stats.drawCalls;
    counts.vertices = stats.vertices;
    counts.glowLines = stats.glowLines;

    delete game;
    game = nullptr;
    setClockSource({});
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(scratch);
    return true;
}

std::string describe(const TSceneCounts& counts) {
    char text[160];
    std::snprintf(text, sizeof text, "frames=%ld drawCalls=%ld vertices=%ld glowLines=%ld", counts.frames,
                  counts.drawCalls, counts.vertices, counts.glowLines);
    return text;
}

bool parseCounts(const std::string& text, TSceneCounts& counts) {
    return std::sscanf(text.c_str(), "frames=%ld drawCalls=%ld vertices=%ld glowLines=%ld", &counts.frames,
                       &counts.drawCalls, &counts.vertices, &counts.glowLines) == 4;
}
