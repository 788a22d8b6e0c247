#include "enemies/splitter.h"

#include "app/game.h"
#include "play/particle.h"
#include "play/recycler.h"
#include "shapes/shape.h"

namespace {
constexpr float splitterSpinPerUpdate = -9;
} // namespace

std::shared_ptr<TSplitter> TSplitter::create(float x, float y) {
    auto splitter = std::allocate_shared<TSplitter>(TRecycler<TSplitter>{});
    splitter->particle = TParticle::create(x, y, 0.98f, 300);
    splitter->shape = game->enemyShape3->copy();
    splitter->radius = 32;
    splitter->points = 100;
    splitter->state = EnemyState::Entering;
    game->particles.add(splitter->particle);
    game->enemies.add(splitter);
    return splitter;
}

void TSplitter::update(float dt) {
    if (skipThisFrame()) return;
    dispatchState(dt);
}

void TSplitter::activeStep(float) {
    seekPlayer(900);
    separate();
    shape->heading.rotate(splitterSpinPerUpdate);
    shape->needsRotation = 1;
    checkPlayerCollision(0);
}
