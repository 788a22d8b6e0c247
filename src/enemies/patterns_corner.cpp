// The corner waves: fours of dodgers, chasers, snakes or swarmers released at a fixed interval, one from
// each corner in the corner order. Each takes the wave lock for its whole wave; one that finds the lock
// taken when its wait is over simply waits its full wait again.
#include "enemies/spawn_patterns.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/chaser.h"
#include "enemies/dodger.h"
#include "enemies/snake.h"
#include "enemies/swarmer.h"
#include "platform/sound.h"

#include <cstddef>

// --- Dodger wave ---------------------------------------------------------------------------------------

void TDodgerWavePattern::update(float dt) {
    if (phase == 0) {
        if (!startLockedWave(dt, 10)) return;
        const int lv = level();
        remaining = lv > 17 ? 28 : lv > 15 ? 24 : lv > 12 ? 16 : 8;
        return;
    }
    if (!stepIsDue(dt, 0.4f)) return;
    atCorners([](float x, float y) { TDodger::create(x, y); });
    game->sounds->play(game->sounds->entrySound2, 1.0f);
    endGroup(4);
}

// --- Chaser wave ---------------------------------------------------------------------------------------

void TChaserWavePattern::update(float dt) {
    if (phase == 0) {
        if (!startLockedWave(dt, 10)) return;
        const int lv = level();
        // Fours of 50 make a wave of 52.
        remaining = lv > 17 ? 100 : lv > 15 ? 80 : lv > 12 ? 60 : 50;
        return;
    }
    if (!stepIsDue(dt, 0.3f)) return;
    atCorners([](float x, float y) { TChaser::create(x, y); });
    game->sounds->play(game->sounds->entrySound1, 1.0f);
    endGroup(4);
}

// --- Snake wave ----------------------------------------------------------------------------------------

void TSnakeWavePattern::update(float dt) {
    if (phase == 0) {
        if (!startLockedWave(dt, 16)) return;
        const int lv = level();
        remaining = lv > 17 ? 24 : lv > 14 ? 20 : 16;
        return;
    }
    if (!stepIsDue(dt, 0.1f)) return;
    // Heads past the snake limit are simply not made; the wave still sounds and still counts them.
    for (int i = 0; i < CornerCount; ++i) {
        const TVector at = innerCorner(i);
        TSnake::create(at.x, at.y, 1, 0.01f, 1.0f, nullptr);
    }
    game->sounds->play(game->sounds->entrySound7, 1.0f);
    endGroup(4);
}

// --- Swarm ---------------------------------------------------------------------------------------------

void TSwarmPattern::update(float dt) {
    if (phase == 0) {
        if (!startLockedWave(dt, 20)) return;
        remaining = 200;
        // The whine loops for the whole swarm; the channel it took is the one the cursor now rests on.
        game->sounds->play(game->sounds->entrySound8, 1.0f);
        loopChannel = game->sounds->poolCursor;
        return;
    }
    if (!stepIsDue(dt, 0.1f)) return;
    atCorners([](float x, float y) { TSwarmer::create(x, y); });
    if (endGroup(4)) stopWhine();
}

void TSwarmPattern::stopWhine() {
    const SoundChannel& channel = game->sounds->pool[static_cast<size_t>(loopChannel)];
    // The whine may be long gone from its channel: stopped at the end of a run, or displaced by a full
    // pool. Whatever plays there now is another effect's, and is left to finish.
    if (!isChannelHolding(channel, game->sounds->entrySound8)) return;
    suspendChannel(channel);
    // A paused channel still holds its sound, and the pool only takes channels that hold none: left like
    // this, every swarm would keep one of the thirty channels for good. Emptying it gives it back.
    startSound(nullptr, channel);
}

void TSwarmPattern::runEnded() {
    // A swarm cut short by the end of a run would otherwise whine on through the menus. It resumes, silent,
    // when the next run reaches its levels.
    if (phase == 1) stopWhine();
}
