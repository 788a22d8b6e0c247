#include "enemies/swarmer.h"

#include "shapes/shape.h"

namespace {
constexpr float swarmerSpinPerUpdate = 3;
} // namespace

std::shared_ptr<TSwarmer> TSwarmer::create(float x, float y) {
    return makeListed<TSwarmer>(
        x, y, {.damping = 0.98f, .maxSpeed = 150, .shapeFile = "enemy8.xml", .radius = 24, .points = 15});
}

void TSwarmer::update(float dt) {
    if (skipThisFrame()) return;
    // Spinning in every state rebuilds the drawn lines from the source each time, so a dying swarmer does
    // not fly apart like the others: its lines stay in place, keep turning and only fade.
    shape->heading.rotate(swarmerSpinPerUpdate);
    shape->needsRotation = true;
    dispatchState(dt);
}

void TSwarmer::activeStep(float) {
    seekPlayer(400);
    separate();
    checkPlayerCollision(0);
}
