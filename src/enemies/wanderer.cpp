#include "enemies/wanderer.h"

#include "app/game.h"
#include "platform/random.h"
#include "play/particle.h"
#include "play/recycler.h"
#include "shapes/shape.h"

namespace {
constexpr float cruiseSpeed = 70;
constexpr float courseSeconds = 1.0f;
constexpr float maxCourseChange = 45;
constexpr float wandererSpinPerUpdate = -10;
} // namespace

std::shared_ptr<TWanderer> TWanderer::create(float x, float y) {
    auto wanderer = std::allocate_shared<TWanderer>(TRecycler<TWanderer>{});
    wanderer->setUp(x, y,
                    {.damping = 1.0f, .maxSpeed = 75, .shapeFile = "enemy0.xml", .radius = 32, .points = 25});
    game->particles.add(wanderer->particle);
    game->enemies.add(wanderer);
    return wanderer;
}

void TWanderer::entryEnded() {
    // It sets off in a random direction the moment it is solid. The y draw comes first.
    const auto y = static_cast<float>(randomReal(-1, 1));
    const auto x = static_cast<float>(randomReal(-1, 1));
    TVector push{x, y};
    // Both draws exactly zero would give no direction; normalize then leaves the push at zero (no NaN).
    push.normalize().scale(cruiseSpeed);
    particle->velocity.add(push);
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
