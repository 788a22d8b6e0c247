#include "enemies/level_director.h"

#include "app/game.h"
#include "enemies/enemy.h"
#include "enemies/spawn_patterns.h"

namespace {
constexpr float levelSeconds = 20;
constexpr int lastLevel = 20;

// A pattern of type T, stepped from level minLevel to maxLevel.
template <class T> std::shared_ptr<TSpawnPattern> pattern(int minLevel, int maxLevel) {
    auto made = std::make_shared<T>();
    made->minLevel = minLevel;
    made->maxLevel = maxLevel;
    return made;
}
} // namespace

std::shared_ptr<TLevelDirector> TLevelDirector::create() {
    auto director = std::make_shared<TLevelDirector>();
    director->reset();
    director->patterns = {
        pattern<TTricklePattern>(1, 10),    pattern<TDodgerPattern>(3, 10),
        pattern<TWellPattern>(4, 12),       pattern<TDodgerWavePattern>(8, 20),
        pattern<TChaserWavePattern>(9, 20), pattern<TRingPattern>(10, 20),
        pattern<TFortressPattern>(10, 20),  pattern<TStreamPattern>(11, 20),
        pattern<TSnakeWavePattern>(10, 20), pattern<TSwarmPattern>(15, 25),
        pattern<TDasherPattern>(13, 20),
    };
    return director;
}

// The patterns keep their timers and any wave in progress from run to run; only the lock is freed.
void TLevelDirector::reset() {
    level = 1;
    levelTime = 0;
    waveBusy = 0;
    for (const auto& pattern : patterns)
        pattern->runEnded();
}

void TLevelDirector::update(float dt) {
    // Pause, the life-lost countdown and the menus stop the level clock and every pattern.
    if (game->state != GameState::Play) return;

    levelTime += dt;
    if (levelTime > levelSeconds) {
        level += 1;
        levelTime = 0; // a long frame's excess is dropped
        if (level > lastLevel) {
            // Survived: everything breaks apart, unscored, and the run is over.
            game->enemies.forEach([](TEnemy& enemy) { enemy.state = EnemyState::Dying; });
            game->enterGameOver();
        }
    }

    // This runs in the update that ended the run as well, at level 21: only the swarm reaches that far.
    for (const auto& pattern : patterns)
        if (pattern->minLevel <= level && level <= pattern->maxLevel) pattern->update(dt);
}
