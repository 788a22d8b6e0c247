#include "enemies/well_child.h"

#include "app/game.h"
#include "play/particle.h"
#include "play/recycler.h"
#include "shapes/shape.h"

std::shared_ptr<TWellChild> TWellChild::create(float x, float y) {
    auto child = std::allocate_shared<TWellChild>(TRecycler<TWellChild>{});
    child->particle = TParticle::create(x, y, 0.98f, 300);
    child->shape = game->enemyShape6->copy();
    child->radius = 24;
    child->points = 50;
    child->state = EnemyState::Active;
    game->particles.add(child->particle);
    game->enemies.add(child);
    return child;
}

// Born active, a child knows only three states: it never enters, sucks or aims.
void TWellChild::update(float dt) {
    if (skipThisFrame()) return;
    switch (state) {
    case EnemyState::Active:
        seekPlayer(2000);
        separate();
        checkPlayerCollision(0);
        break;
    case EnemyState::Dying:
        updateDying(dt);
        break;
    case EnemyState::Frozen:
        updateFrozen(dt);
        break;
    default:
        break;
    }
}
