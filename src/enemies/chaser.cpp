#include "enemies/chaser.h"

#include "app/game.h"
#include "play/particle.h"
#include "play/recycler.h"
#include "shapes/shape.h"

std::shared_ptr<TChaser> TChaser::create(float x, float y) {
    auto chaser = std::allocate_shared<TChaser>(TRecycler<TChaser>{});
    chaser->particle = TParticle::create(x, y, 0.96f, 550);
    chaser->shape = game->enemyShape1->copy();
    chaser->radius = 32;
    chaser->points = 50;
    chaser->state = EnemyState::Entering;
    game->particles.add(chaser->particle);
    game->enemies.add(chaser);
    return chaser;
}

void TChaser::update(float dt) {
    if (skipThisFrame()) return;
    dispatchState(dt);
}

void TChaser::activeStep(float) {
    seekPlayer(900);
    separate();
    checkPlayerCollision(0);
}
