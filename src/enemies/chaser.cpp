#include "enemies/chaser.h"

#include "app/game.h"
#include "play/particle.h"
#include "play/recycler.h"

std::shared_ptr<TChaser> TChaser::create(float x, float y) {
    auto chaser = std::allocate_shared<TChaser>(TRecycler<TChaser>{});
    chaser->setUp(x, y,
                  {.damping = 0.96f, .maxSpeed = 550, .shapeFile = "enemy1.xml", .radius = 32, .points = 50});
    game->particles.add(chaser->particle);
    game->enemies.add(chaser);
    return chaser;
}

void TChaser::activeStep(float) {
    seekPlayer(chaserHoming);
    separate();
    checkPlayerCollision(0);
}
