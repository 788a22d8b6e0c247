// The headless benchmark: a list of scenes, each timed over a run of frames on the real renderer.
//
// A scene is a name and three callbacks: setup (once, may allocate and load), update (per frame, given
// dt) and draw (per frame, after the screen is cleared). A new scene is one file that registers itself:
//
//     static const bool registered = registerBenchScene({"my_scene", setup, update, draw, extraKeys});
//
// Per scene the runner reports update and draw CPU time (mean and 99th percentile), draw calls, vertices
// and heap allocations per frame in update and in draw, plus whatever keys the scene adds.
//
// A companion scene names another scene in `drawsWorldOf` and has no setup or update of its own: it draws
// that scene's world its own way. The two run frame by frame side by side, sharing each update and taking
// turns at drawing first, so load from the rest of the machine falls on both alike; the companion's line
// carries the ratio of its draw time to the other's as `speedup=`.
//
// A scene without draw is simulation only: the runner times its update alone and never touches the
// renderer, so its figures are the game's world passes and nothing else.
//
// A scene with a render scale is drawn at that scale from its first frame to its last (the benchmark's
// window is 800 x 600, so a larger picture is shrunk onto it when presented).
#pragma once

#include "app/game.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/spark.h"

#include <functional>
#include <string>
#include <vector>

struct TBenchResult {
    std::string name;
    int frames = 0;
    double updateMs = 0, updateP99Ms = 0;
    double buildMs = 0;               // building the frame's batches: drawMs less submitMs
    double submitMs = 0;              // handing the batches to the driver (the renderer's own figure)
    double drawMs = 0, drawP99Ms = 0; // building and submitting the frame, no GPU wait
    double drawMedianMs = 0;          // steadier than the mean on a shared machine
    double drawWallMs = 0;
    double presentMs = 0; // showing the frame; a software rasteriser does its pixel work here
    double drawCalls = 0, vertices = 0, glowLines = 0;
    double allocsDraw = 0, allocsUpdate = 0;
};

struct TBenchScene {
    std::string name;
    std::function<void()> setup;
    std::function<void(float dt)> update;
    std::function<void()> draw;
    // Scene-specific keys for the BENCH line, as " key=value" text.
    std::function<std::string(const TBenchResult&)> extraKeys;
    std::string drawsWorldOf;
    // The render scale the scene is drawn at (setRenderScale's choice), for the cost of larger displays:
    // "1.8" draws a 1440 x 1080 picture, what a 1920 x 1080 screen shows. Empty: the display's own.
    std::string renderScale;
};

bool registerBenchScene(TBenchScene scene);

// The glow sprite sheet (four 64 x 64 frames): the embedded one when the build carries it, otherwise one
// drawn to the same description and loaded through the ordinary PNG path. Null only if loading fails.
Picture benchGlowPicture();

// Heap allocations made on the calling thread since the program started.
long benchAllocationCount();

// Nearest-rank percentile of the samples, fraction 0..1 (0 the smallest, 1 the largest); 0 when empty.
double benchPercentile(std::vector<double> samples, double fraction);

// What every world scene starts from: a fresh game in play as the run start leaves it, on a fixed seed (the
// run start reseeds from the clock, so the seed is set again after it).
constexpr uint32_t benchSeed = 20240611;
inline void benchStartPlaying() {
    seedRandom(benchSeed);
    game = TGame::create();
    game->startRun();
    seedRandom(benchSeed);
    game->state = GameState::Play;
}

// count sparks (a multiple of 30) in bursts of one random colour each, laid over the screen in a fixed
// pattern, offset by (dx, dy).
inline void benchScatterSparks(int count, float dx = 0, float dy = 0) {
    for (int i = 0; i < count / 30; ++i) {
        const TVector at{static_cast<float>(50 + (i * 97) % 700) + dx,
                         static_cast<float>(50 + (i * 61) % 500) + dy};
        burst(at, {.count = 30, .minSpeed = 100, .maxSpeed = 300});
    }
}

// The level20 scene's world (scene_level20.cpp) copies times over, each copy a little apart from the
// others so that no two enemies start on one spot; one copy is exactly the level20 scene's.
void benchBuildLevel20World(int copies);
