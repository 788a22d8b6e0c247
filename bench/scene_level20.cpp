// The busiest level the game reaches, run through the game's own world passes: a swarm of 200, a fortress
// whose four wells are awake and sucking, a ring of 52 chasers, four whole snakes and 3000 sparks, at
// level 20. Deterministic: a fixed seed and a fixed layout.
//
// The craft is taken out of the particle pass and parked far above the arena, so nothing can reach it and
// the run never stops for a lost life; everything homes in on it and piles against the top wall, which
// keeps the enemies crowded (the worst case for their separation). The patterns are held back so that the
// enemy count only falls as the wells swallow; it is reported with the figures.
#include "bench.h"

#include "app/game.h"
#include "enemies/enemy.h"
#include "enemies/gravity_well.h"
#include "enemies/level_director.h"
#include "enemies/snake.h"
#include "enemies/spawn_patterns.h"
#include "enemies/swarmer.h"
#include "platform/random.h"
#include "play/arena_border.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/spark.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int sparkCount = 3000;
constexpr int swarmSize = 200;
constexpr float heldBack = 1e9f;

size_t fewestEnemies = 0;

template <class Pattern> Pattern& patternOf(TLevelDirector& director) {
    for (const auto& pattern : director.patterns)
        if (auto* found = dynamic_cast<Pattern*>(pattern.get())) return *found;
    std::abort();
}

void buildFortress(TLevelDirector& director) {
    auto& fortress = patternOf<TFortressPattern>(director);
    fortress.waitTime = 0;
    fortress.phase = 0; // a copy after the first finds the fortress already holding
    director.waveBusy = 0;
    fortress.update(1.0f / 60);
    for (const auto& well : fortress.group)
        well->state = TGravityWell::Sucking;
}

void buildRing(TLevelDirector& director) {
    auto& ring = patternOf<TRingPattern>(director);
    ring.phase = 1;
    ring.choice = 1;
    ring.remaining = 48; // the whole-degree step makes it 52
    ring.update(1.0f / 60);
}

// Scattered over the middle of the arena rather than stacked in the corners, where the wells would
// swallow them at once.
void buildSwarm(const TVector& centre) {
    for (int i = 0; i < swarmSize; ++i) {
        const auto x = static_cast<float>(randomReal(centre.x - 300, centre.x + 300));
        const auto y = static_cast<float>(randomReal(centre.y - 200, centre.y + 200));
        TSwarmer::create(x, y);
    }
}

// Moves the enemies from the index-th in the list on by (dx, dy).
void shiftEnemiesFrom(size_t index, float dx, float dy) {
    size_t at = 0;
    game->enemies.forEach([&](TEnemy& enemy) {
        if (at++ < index) return;
        enemy.particle->position.x += dx;
        enemy.particle->position.y += dy;
        enemy.particle->previousPosition.x += dx;
        enemy.particle->previousPosition.y += dy;
    });
}

} // namespace

void benchBuildLevel20World(int copies) {
    TLevelDirector& director = *game->levelDirector;
    director.level = 20;
    for (const auto& pattern : director.patterns)
        pattern->waitTime = heldBack;
    // Every copy brings its four snakes.
    game->snakeLimit = std::max(game->snakeLimit, 4 * copies);

    const TVector centre = game->border->particle->position;
    game->particles.remove(game->player->particle.get());
    game->player->particle->position.set(centre.x, centre.y - 5000);

    for (int copy = 0; copy < copies; ++copy) {
        // A few units apart, never on a whole axis line with the first copy (separation leaves those be).
        const float dx = static_cast<float>(copy * 7 % 40 + copy),
                    dy = static_cast<float>(copy * 5 % 29 + copy);
        const size_t firstNew = game->enemies.size();
        buildFortress(director);
        buildRing(director);
        buildSwarm(centre);
        for (int i = 0; i < TSpawnPattern::CornerCount; ++i) {
            const TVector at = TSpawnPattern::innerCorner(i);
            TSnake::create(at.x + (at.x < centre.x ? 150.0f : -150.0f), at.y, 1, 0.01f, 1.0f, nullptr);
        }
        if (copy > 0) shiftEnemiesFrom(firstNew, dx, dy);
        benchScatterSparks(sparkCount, dx, dy);
    }
}

namespace {

void setup() {
    benchStartPlaying();
    benchBuildLevel20World(1);
    fewestEnemies = game->enemies.size();
}

void update(float dt) {
    // Keep the sparks, the level and the held-back patterns as they are; everything else runs as in play.
    game->sparks.forEach([](TSpark& spark) {
        spark.life = 1.0f;
        spark.alpha = 1.0f;
    });
    game->levelDirector->levelTime = 0;
    game->updateWorld(dt);
    fewestEnemies = std::min(fewestEnemies, game->enemies.size());
}

void draw() {
    game->drawWorld();
}

std::string extraKeys(const TBenchResult& result) {
    char text[192];
    std::snprintf(text, sizeof text, " enemies=%zu enemies_min=%zu sparks=%zu update_plus_draw_ms=%.3f",
                  game->enemies.size(), fewestEnemies, game->sparks.size(), result.updateMs + result.drawMs);
    return text;
}

const bool registered = registerBenchScene({"level20", setup, update, draw, extraKeys, {}, {}});
// The same world on the 4:3 area of a 1920 x 1080 and of a 2560 x 1440 screen: the same batches and
// vertices, more pixels.
const bool registered1080 = registerBenchScene({"level20_1080p", setup, update, draw, extraKeys, {}, "1.8"});
const bool registered1440 = registerBenchScene({"level20_1440p", setup, update, draw, extraKeys, {}, "2.4"});

} // namespace
