// The streams: single enemies at a steady beat, at random points away from the craft or, for dashers, from
// random corners. Neither takes the wave lock; instead a new stream waits while any enemy of the ones
// before it is still in the arena, trying again every eight seconds.
#include "enemies/spawn_patterns.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/dasher.h"
#include "platform/random.h"

// --- Stream --------------------------------------------------------------------------------------------

void TStreamPattern::update(float dt) {
    if (phase == 0) {
        const int lv = level();
        startStream(dt, lv > 17 ? 30 : lv > 14 ? 20 : 14);
        return;
    }
    if (!stepIsDue(dt, 0.4f)) return;
    pickSpawnPoint(ClearOfCraft);
    const int pick = level() > 14 ? randomInteger(1, 3) : 1;
    track(createChoice(pick, spawnPoint.x, spawnPoint.y));
    game->sounds->play(choiceSound(pick), 1.0f);
    remaining -= 1;
    if (remaining <= 0) phase = 0;
}

// --- Dashers -------------------------------------------------------------------------------------------

void TDasherPattern::update(float dt) {
    if (phase == 0) {
        const int lv = level();
        startStream(dt, lv > 17 ? 4 : lv > 14 ? 2 : 1);
        return;
    }
    if (!stepIsDue(dt, 0.8f)) return;
    spawnPoint = corner(randomInteger(1, 4) - 1);
    track(TDasher::create(spawnPoint.x, spawnPoint.y));
    game->sounds->play(game->sounds->entrySound2b, 1.0f);
    remaining -= 1;
    if (remaining <= 0) phase = 0;
}
