#include "enemies/dodger.h"

#include "app/game.h"
#include "input/joypad.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/recycler.h"
#include "play/shot.h"
#include "shapes/shape.h"

namespace {
constexpr float dodgeRange = 100;
constexpr float dodgeForce = 12000;
constexpr float dodgerSpinPerUpdate = 7;
} // namespace

std::shared_ptr<TDodger> TDodger::create(float x, float y) {
    auto dodger = std::allocate_shared<TDodger>(TRecycler<TDodger>{});
    dodger->setUp(
        x, y, {.damping = 0.97f, .maxSpeed = 500, .shapeFile = "enemy2.xml", .radius = 32, .points = 100});
    game->particles.add(dodger->particle);
    game->enemies.add(dodger);
    return dodger;
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
    TVector aim = game->joypad->fire;
    if (aim.length() == 0) return false;
    aim.normalize();
    TVector towardCraft = game->player->particle->position;
    towardCraft.subtract(particle->position);
    // Sitting right on the craft there is no side to be on; the dot is then 0 and counts as away.
    towardCraft.normalize();
    return aim.dot(towardCraft) >= 0;
}

void TDodger::dodgeShots() {
    const TVector& here = particle->position;
    game->shots.forEach([&](TShot& shot) {
        TVector away = here;
        away.subtract(shot.particle->position);
        const float distance = away.length();
        // A shot exactly on the dodger has no side to dodge to: that force is skipped.
        if (distance >= dodgeRange || distance == 0) return;
        away.normalize().scale(dodgeForce);
        particle->acceleration.add(away);
    });
}
