// The patterns that bring enemies in one or two at a time, at random points away from the craft: the
// trickle of wanderers and chasers, the dodger pairs and the gravity wells.
#include "enemies/spawn_patterns.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/chaser.h"
#include "enemies/dodger.h"
#include "enemies/gravity_well.h"
#include "enemies/splitter.h"
#include "enemies/wanderer.h"

// --- Trickle -------------------------------------------------------------------------------------------

void TTricklePattern::update(float dt) {
    if (phase == 0) {
        if (startAfterWait(dt, 3)) remaining = level() > 1 ? 2 : 1;
        return;
    }
    pickSpawnPoint(ClearOfCraft);
    track(TWanderer::create(spawnPoint.x, spawnPoint.y));
    game->sounds->play(game->sounds->entrySound0, 1.0f);
    if (remaining == 2) {
        pickSpawnPoint(ClearOfCraft);
        track(TChaser::create(spawnPoint.x, spawnPoint.y));
        game->sounds->play(game->sounds->entrySound1, 1.0f);
    }
    phase = 0;
}

// --- Dodger pair ---------------------------------------------------------------------------------------

void TDodgerPattern::update(float dt) {
    if (phase == 0) {
        if (startAfterWait(dt, 3)) remaining = level() > 3 ? 2 : 1;
        return;
    }
    pickSpawnPoint(ClearOfCraft);
    track(TDodger::create(spawnPoint.x, spawnPoint.y));
    if (remaining == 2) {
        // The pair's dodger comes in with the chaser's sound.
        game->sounds->play(game->sounds->entrySound1, 1.0f);
        pickSpawnPoint(ClearOfCraft);
        track(TSplitter::create(spawnPoint.x, spawnPoint.y));
        game->sounds->play(game->sounds->entrySound3, 1.0f);
    } else {
        game->sounds->play(game->sounds->entrySound2, 1.0f);
    }
    phase = 0;
}

// --- Wells ---------------------------------------------------------------------------------------------

void TWellPattern::update(float dt) {
    if (phase == 0) {
        if (!startAfterWait(dt, 10)) return;
        if (level() > 8) groupLimit = 2;
        // Only this pattern's own wells count: a fortress full of wells does not hold it back.
        if (groupCount() >= groupLimit) phase = 0;
        return;
    }
    pickSpawnPoint(ClearOfCraft);
    track(TGravityWell::create(spawnPoint.x, spawnPoint.y));
    game->sounds->play(game->sounds->entrySound5, 1.0f);
    phase = 0;
}
