// How the cost of the world passes grows with what the arena holds: the level20 scene's world once, twice,
// four and eight times over (scale_1x .. scale_8x), with 100 shots and 3000 sparks per copy. Simulation
// only: the update is what is timed, and nothing is drawn.
//
// Unlike level20, shots and sparks come and go as in play: the shots cross the lower half of the arena
// (below the enemies, which pile against the top wall under the parked craft) and end on the far wall or on
// what they hit, the sparks live out their second and end; each frame tops both up to their number, so the
// ends, the removals and the new ones are part of every timed frame. The sparks' ages are spread at the
// start so that about as many end in each frame. The enemies are not replaced; their fewest is reported.
#include "bench.h"

#include "app/game.h"
#include "enemies/level_director.h"
#include "play/arena_border.h"
#include "play/particle.h"
#include "play/shot.h"
#include "play/spark.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int shotsPerCopy = 100;
constexpr int sparksPerCopy = 3000;
constexpr float shotSpeed = 500;

struct TScaleWorld {
    int copies = 1;
    size_t fewestEnemies = 0;
    int shotsMade = 0;
    int burstsMade = 0;
};

TScaleWorld world;

// The k-th shot: lanes 60 to 260 below the arena's middle, alternately rightwards from the left wall and
// leftwards from the right; the first ones start spread along their lanes, the later ones at their wall.
void makeShot(bool spread) {
    const int k = world.shotsMade++;
    const TVector centre = game->border->particle->position;
    const float left = centre.x - TArenaBorder::HalfWidth + 20,
                right = centre.x + TArenaBorder::HalfWidth - 40;
    const float y = centre.y + 60 + static_cast<float>(k * 37 % 200);
    const bool rightwards = k % 2 == 0;
    float x = rightwards ? left : right;
    if (spread) x = left + static_cast<float>(k * 131 % static_cast<int>(right - left));
    TShot::create(TVector{x, y}, TVector{rightwards ? shotSpeed : -shotSpeed, 0});
}

void makeBurst() {
    const int k = world.burstsMade++;
    const TVector at{static_cast<float>(50 + (k * 97) % 700), static_cast<float>(50 + (k * 61) % 500)};
    burst(at, {.count = 30, .minSpeed = 100, .maxSpeed = 300});
}

void setup(int copies) {
    world = TScaleWorld{};
    world.copies = copies;
    benchStartPlaying();
    benchBuildLevel20World(copies);
    int k = 0;
    game->sparks.forEach([&k](TSpark& spark) {
        // Life 0.1 ends a spark; from 0.11 to 1.0 in 90 steps.
        spark.life = 0.1f + 0.01f * static_cast<float>(k++ % 90 + 1);
        spark.alpha = spark.life;
    });
    for (int i = 0; i < shotsPerCopy * copies; ++i)
        makeShot(true);
    world.fewestEnemies = game->enemies.size();
}

void update(float dt) {
    const auto shots = static_cast<size_t>(shotsPerCopy * world.copies);
    const auto sparks = static_cast<size_t>(sparksPerCopy * world.copies);
    while (game->shots.size() < shots)
        makeShot(false);
    while (game->sparks.size() + 30 <= sparks)
        makeBurst();
    game->levelDirector->levelTime = 0;
    game->updateWorld(dt);
    world.fewestEnemies = std::min(world.fewestEnemies, game->enemies.size());
}

std::string extraKeys(const TBenchResult&) {
    char text[192];
    std::snprintf(text, sizeof text,
                  " copies=%d enemies=%zu enemies_min=%zu sparks=%zu shots=%zu particles=%zu", world.copies,
                  game->enemies.size(), world.fewestEnemies, game->sparks.size(), game->shots.size(),
                  game->particles.size());
    return text;
}

const bool registered = [] {
    for (const int copies : {1, 2, 4, 8})
        registerBenchScene({"scale_" + std::to_string(copies) + "x",
                            [copies] { setup(copies); },
                            update,
                            nullptr,
                            extraKeys,
                            {},
                            {}});
    return true;
}();

} // namespace
