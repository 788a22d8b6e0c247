#include "enemies/dodger.h"

#include "app/game.h"
#include "input/joypad.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shot.h"
#include "shapes/shape.h"

namespace {
constexpr float dodgeRange = 100;
constexpr float dodgeForce = 12000;
constexpr float dodgerSpinPerUpdate = 7;
} // namespace

std::shared_ptr<TDodger> TDodger::create(float x, float y) {
    return makeListed<TDodger>(
        x, y, {.damping = 0.97f, .maxSpeed = 500, .shapeFile = "enemy2.xml", .radius = 32, .points = 100});
}

void TDodger::activeStep(float) {
    seekPlayer(chaserHoming);
    separate();
    shape->heading.rotate(dodgerSpinPerUpdate);
    shape->needsRotation = true;
    checkPlayerCollision(0);
    if (!fireStickTurnedAway()) dodgeShots();
}

// The dodger only reacts to a fire stick aimed at its side of the craft. Keyboard and mouse play leaves
// the stick at zero, and a zero stick never counts as turned away, so there it always dodges.
bool TDodger::fireStickTurnedAway() const {
    const TVector& aim = game->joypad->fire;
    if (aim.length() == 0) return false;
    // Sitting right on the craft there is no side to be on; the dot is then 0 and counts as away.
    const TVector towardCraft = (game->player->particle->position - particle->position).normalized();
    return aim.normalized().dot(towardCraft) >= 0;
}

void TDodger::dodgeShots() {
    const TVector& here = particle->position;
    game->shots.forEach([&](TShot& shot) {
        const TVector away = here - shot.particle->position;
        const float distance = away.length();
        // A shot exactly on the dodger has no side to dodge to: that force is skipped.
        if (distance >= dodgeRange || distance == 0) return;
        particle->acceleration.add(away.normalized() * dodgeForce);
    });
}
