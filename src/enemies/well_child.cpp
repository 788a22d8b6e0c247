#include "enemies/well_child.h"

#include "app/game.h"
#include "play/particle.h"
#include "play/recycler.h"

std::shared_ptr<TWellChild> TWellChild::create(float x, float y) {
    auto child = std::allocate_shared<TWellChild>(TRecycler<TWellChild>{});
    child->setUp(x, y,
                 {.damping = 0.98f,
                  .maxSpeed = 300,
                  .shapeFile = "enemy6.xml",
                  .radius = 24,
                  .points = 50,
                  .firstState = EnemyState::Active});
    game->particles.add(child->particle);
    game->enemies.add(child);
    return child;
}

// Born active, a child never enters, sucks or aims.
void TWellChild::activeStep(float) {
    seekPlayer(2000);
    separate();
    checkPlayerCollision(0);
}
