#include "enemies/swarmer.h"

#include "app/game.h"
#include "enemies/enemy_shapes.h"
#include "play/particle.h"
#include "shapes/shape.h"

namespace {
constexpr float swarmerSpinPerUpdate = 3;
} // namespace

std::shared_ptr<TSwarmer> TSwarmer::create(float x, float y) {
    auto swarmer = std::make_shared<TSwarmer>();
    swarmer->particle = TParticle::create(x, y, 0.98f, 150);
    swarmer->shape = copyEnemyShape("enemy8.xml");
    swarmer->radius = 24;
    swarmer->points = 15;
    swarmer->state = EnemyState::Entering;
    game->particles.add(swarmer->particle);
    game->enemies.add(swarmer);
    return swarmer;
}

void TSwarmer::update(float dt) {
    if (skipThisFrame()) return;
    // Spinning in every state rebuilds the drawn lines from the source each time, so a dying swarmer does
    // not fly apart like the others: its lines stay in place, keep turning and only fade.
    shape->heading.rotate(swarmerSpinPerUpdate);
    shape->needsRotation = 1;
    dispatchState(dt);
}

void TSwarmer::activeStep(float) {
    seekPlayer(400);
    separate();
    checkPlayerCollision(0);
}
