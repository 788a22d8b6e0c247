#include "enemies/well_child.h"

std::shared_ptr<TWellChild> TWellChild::create(float x, float y) {
    return makeListed<TWellChild>(x, y,
                                  {.damping = 0.98f,
                                   .maxSpeed = 300,
                                   .shapeFile = "enemy6.xml",
                                   .radius = 24,
                                   .points = 50,
                                   .firstState = EnemyState::Active});
}

// Born active, a child never enters, sucks or aims.
void TWellChild::activeStep(float) {
    seekPlayer(2000);
    separate();
    checkPlayerCollision(0);
}
