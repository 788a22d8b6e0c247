#include "enemies/wanderer.h"

#include "platform/random.h"
#include "play/particle.h"
#include "shapes/shape.h"

namespace {
constexpr float cruiseSpeed = 70;
constexpr float courseSeconds = 1.0f;
constexpr float maxCourseChange = 45;
constexpr float wandererSpinPerUpdate = -10;
} // namespace

std::shared_ptr<TWanderer> TWanderer::create(float x, float y) {
    return makeListed<TWanderer>(
        x, y, {.damping = 1.0f, .maxSpeed = 75, .shapeFile = "enemy0.xml", .radius = 32, .points = 25});
}

void TWanderer::entryEnded() {
    // It sets off in a random direction the moment it is solid. The y draw comes first.
    const auto y = static_cast<float>(randomReal(-1, 1));
    const auto x = static_cast<float>(randomReal(-1, 1));
    // Both draws exactly zero would give no direction; normalize then leaves the push at zero (no NaN).
    particle->velocity.add(TVector{x, y}.normalized() * cruiseSpeed);
}

void TWanderer::activeStep(float dt) {
    shape->heading.rotate(wandererSpinPerUpdate);
    shape->needsRotation = true;
    timer -= dt;
    if (timer < 0) {
        // Damping 1.0 keeps this speed until the next change; the walls only reflect it.
        timer = courseSeconds;
        TVector& velocity = particle->velocity;
        velocity.rotate(static_cast<float>(randomReal(-maxCourseChange, maxCourseChange)));
        velocity.normalize().scale(cruiseSpeed);
    }
    checkPlayerCollision(0);
}
