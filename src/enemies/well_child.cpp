#include "enemies/well_child.h"

#include "app/game.h"
#include "enemies/enemy_shapes.h"
#include "play/particle.h"
#include "shapes/shape.h"

std::shared_ptr<TWellChild> TWellChild::create(float x, float y) {
    auto child = std::make_shared<TWellChild>();
    child->particle = TParticle::create(x, y, 0.98f, 300);
    child->shape = copyEnemyShape("enemy6.xml");
    child->radius = 24;
    child->points = 50;
    child->state = EnemyState::Active;
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
