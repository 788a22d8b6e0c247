#include "enemies/splitter.h"

#include "app/game.h"
#include "enemies/splinter.h"
#include "play/particle.h"
#include "play/player.h"
#include "shapes/shape.h"

namespace {
constexpr float splitterSpinPerUpdate = -9;
} // namespace

std::shared_ptr<TSplitter> TSplitter::create(float x, float y) {
    return makeListed<TSplitter>(
        x, y, {.damping = 0.98f, .maxSpeed = 300, .shapeFile = "enemy3.xml", .radius = 32, .points = 100});
}

void TSplitter::activeStep(float) {
    seekPlayer(chaserHoming);
    separate();
    shape->heading.rotate(splitterSpinPerUpdate);
    shape->needsRotation = true;
    checkPlayerCollision(0);
}

bool TSplitter::hitByKind(float) {
    // Three splinters flung away from the craft, each harder than the last, each swirling its own way.
    // Directly on the craft there is no "away": they start without a push.
    TVector away = particle->position - game->player->particle->position;
    const bool hasDirection = away.length() > 0;
    const float spins[3] = {8, -8, -10};
    const float pushes[3] = {9000, 18000, 32000};
    for (int i = 0; i < 3; ++i) {
        std::shared_ptr<TSplinter> splinter = TSplinter::create(particle->position, spins[i]);
        if (!hasDirection) continue;
        away.normalize().scale(pushes[i]);
        splinter->particle->acceleration = away;
    }
    return true;
}
