#include "enemies/level_director.h"

#include "app/game.h"
#include "enemies/enemy.h"
#include "enemies/spawn_patterns.h"

namespace {
constexpr float levelSeconds = 20;
constexpr int lastLevel = 20;
} // namespace

std::shared_ptr<TLevelDirector> TLevelDirector::create() {
    auto director = std::make_shared<TLevelDirector>();
    director->reset();
    director->patterns = {
        TTricklePattern::create(),    TDodgerPattern::create(),     TWellPattern::create(),
        TDodgerWavePattern::create(), TChaserWavePattern::create(), TRingPattern::create(),
        TFortressPattern::create(),   TStreamPattern::create(),     TSnakeWavePattern::create(),
        TSwarmPattern::create(),      TDasherPattern::create(),
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
