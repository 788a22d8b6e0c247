// The ring, which closes in on the craft from all round, and the fortress, four guarded wells in the
// corners that keep every other large wave away until they are destroyed.
#include "enemies/spawn_patterns.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/chaser.h"
#include "enemies/dodger.h"
#include "enemies/gravity_well.h"
#include "enemies/splitter.h"
#include "platform/random.h"
#include "play/particle.h"
#include "play/player.h"

#include <cmath>

namespace {
constexpr int ringSnake = 4;
constexpr float ringRadius = 400;
} // namespace

// --- Ring ----------------------------------------------------------------------------------------------

void TRingPattern::update(float dt) {
    if (phase == 0) {
        if (!startAfterWait(dt, 12)) return;
        const int lv = level();
        choice = randomInteger(1, 2);
        if (lv > 14) choice = randomInteger(1, 4);
        remaining = lv > 18 ? 48 : lv > 16 ? 32 : lv > 14 ? 24 : 16;
        if (choice == ringSnake) remaining = 12;
        return;
    }
    // The step is whole degrees, so the ring rounds up: 16 asked make 17, 32 make 33, 48 make 52. Rings
    // ignore the lock and the arena walls; the particle pass pushes the outer ones in.
    const TVector craft = game->player->particle->position;
    const int step = 360 / remaining;
    for (int a = 0; a < 359; a += step) {
        const double radians = degreesToRadians(a);
        createChoice(choice, craft.x + static_cast<float>(std::sin(radians)) * ringRadius,
                     craft.y + static_cast<float>(std::cos(radians)) * ringRadius);
    }
    game->sounds->play(choiceSound(choice), 1.0f);
    phase = 0;
}

// --- Fortress ------------------------------------------------------------------------------------------

void TFortressPattern::update(float dt) {
    if (phase == 1) {
        // Only the wells are tracked: the lock is held until the last of them is gone.
        if (groupCount() == 0) {
            releaseLock();
            phase = 0;
        }
        return;
    }
    // Unlike the other waves it does not start its wait over when the lock is taken: it keeps trying.
    if (!waitIsOver(dt) || !lockIsFree()) return;
    waitTime = 15;
    phase = 1;
    takeLock();
    atCorners([this](float x, float y) { track(TGravityWell::create(x, y)); });
    atCorners([](float x, float y) { TChaser::create(x, y); });
    atCorners([](float x, float y) { TDodger::create(x, y); });
    atCorners([](float x, float y) { TSplitter::create(x, y); });
    game->sounds->play(game->sounds->entrySound1, 1.0f);
    game->sounds->play(game->sounds->entrySound2, 1.0f);
    game->sounds->play(game->sounds->entrySound3, 1.0f);
    game->sounds->play(game->sounds->entrySound5, 1.0f);
}
