#include "enemies/chaser.h"

#include "app/game.h"
#include "enemies/enemy_shapes.h"
#include "play/particle.h"
#include "shapes/shape.h"

std::shared_ptr<TChaser> TChaser::create(float x, float y) {
    auto chaser = std::make_shared<TChaser>();
    chaser->particle = TParticle::create(x, y, 0.96f, 550);
    chaser->shape = copyEnemyShape("enemy1.xml");
    chaser->radius = 32;
    chaser->points = 50;
    chaser->state = EnemyState::Entering;
    game->particles.add(chaser->particle);
    game->enemies.add(chaser);
    return chaser;
}

void TChaser::activeStep(float) {
    seekPlayer(chaserHoming);
    separate();
    checkPlayerCollision(0);
}
