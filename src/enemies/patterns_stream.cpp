// The streams: single enemies at a steady beat, at random points away from the craft or, for dashers, from
// random corners. Neither takes the wave lock; instead a new stream waits while any enemy of the ones
// before it is still in the arena, trying again every eight seconds.
#include "enemies/spawn_patterns.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/chaser.h"
#include "enemies/dasher.h"
#include "enemies/dodger.h"
#include "enemies/splitter.h"
#include "platform/random.h"

namespace {
constexpr float survivorsRetry = 8;
} // namespace

// --- Stream --------------------------------------------------------------------------------------------

void TStreamPattern::update(float dt) {
    if (phase == 0) {
        if (!waitIsOver(dt)) return;
        waitTime = 11;
        phase = 1;
        const int lv = level();
        remaining = lv > 17 ? 30 : lv > 14 ? 20 : 14;
        if (groupCount() > 0) {
            phase = 0;
            waitTime = survivorsRetry;
        }
        return;
    }
    if (!stepIsDue(dt, 0.4f)) return;
    pickSpawnPoint(ClearOfCraft);
    const int pick = level() > 14 ? randomInteger(1, 3) : 1;
    if (pick == 2) {
        track(TDodger::create(spawnPoint.x, spawnPoint.y));
        game->sounds->play(game->sounds->entrySound2, 1.0f);
    } else if (pick == 3) {
        track(TSplitter::create(spawnPoint.x, spawnPoint.y));
        game->sounds->play(game->sounds->entrySound3, 1.0f);
    } else {
        track(TChaser::create(spawnPoint.x, spawnPoint.y));
        game->sounds->play(game->sounds->entrySound1, 1.0f);
    }
    remaining -= 1;
    if (remaining <= 0) phase = 0;
}

// --- Dashers -------------------------------------------------------------------------------------------

void TDasherPattern::update(float dt) {
    if (phase == 0) {
        if (!waitIsOver(dt)) return;
        waitTime = 11;
        phase = 1;
        const int lv = level();
        remaining = lv > 17 ? 4 : lv > 14 ? 2 : 1;
        if (groupCount() > 0) {
            phase = 0;
            waitTime = survivorsRetry;
        }
        return;
    }
    if (!stepIsDue(dt, 0.8f)) return;
    spawnPoint = corner(randomInteger(1, 4) - 1);
    track(TDasher::create(spawnPoint.x, spawnPoint.y));
    game->sounds->play(game->sounds->entrySound2b, 1.0f);
    remaining -= 1;
    if (remaining <= 0) phase = 0;
}
