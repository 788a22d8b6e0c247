// The busiest arena the game can expect, run through the game's own world passes: the full grid, 3000
// sparks, 300 shots each pushing the grid every frame, and a bomb wave. Deterministic: a fixed seed and
// a fixed layout. The scene keeps the load steady instead of letting it run out (shots and sparks are
// kept alive, the wave restarts), so every timed frame carries the same work and nothing is created
// while it is timed.
#include "bench.h"

#include "app/game.h"
#include "platform/random.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shockwave.h"
#include "play/shot.h"
#include "play/spark.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int sparkCount = 3000;
constexpr int shotCount = 300;

std::shared_ptr<TShockwave> bombWave;

void setup() {
    benchStartPlaying();
    game->player->weaponLevel = 3;                  // the widest wake: each shot pushes with radius 50
    game->player->particle->velocity.set(120, -80); // so the view scrolls

    // Shots in slow circles around the arena, so they stay in it and keep pushing different points.
    for (int i = 0; i < shotCount; ++i) {
        const float angle = static_cast<float>(i) * 1.2f;
        const TVector position{400 + std::cos(angle) * (40 + static_cast<float>(i)),
                               300 + std::sin(angle) * (20 + static_cast<float>(i) * 0.8f)};
        TShot::create(position, TVector{std::sin(angle) * 10, -std::cos(angle) * 10});
    }
    benchScatterSparks(sparkCount);
    bombWave = TShockwave::create(game->player->particle->position, 800, 1, 1.0f / 60, 0);
}

void update(float dt) {
    // Keep the load: nothing ages out, and the wave starts again before it would end.
    game->shots.forEach([](TShot& shot) { shot.life = 5.0f; });
    game->sparks.forEach([](TSpark& spark) {
        spark.life = 1.0f;
        spark.alpha = 1.0f;
    });
    if (bombWave->radius > 700) {
        bombWave->radius = 0;
        bombWave->alpha = 1.0f;
    }
    game->updateWorld(dt);
}

void draw() {
    game->drawWorld();
}

std::string extraKeys(const TBenchResult&) {
    char text[128];
    std::snprintf(text, sizeof text, " shots=%zu sparks=%zu particles=%zu", game->shots.size(),
                  game->sparks.size(), game->particles.size());
    return text;
}

const bool registered = registerBenchScene({"arena_heavy", setup, update, draw, extraKeys, {}, {}});

} // namespace
