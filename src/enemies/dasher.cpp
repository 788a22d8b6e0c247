#include "enemies/dasher.h"

#include "app/game.h"
#include "platform/random.h"
#include "play/particle.h"
#include "play/player.h"
#include "shapes/shape.h"

namespace {
constexpr float aimTurn = 8;
// The cosine of about 4 degrees: pointing this close at the craft is close enough to go.
constexpr float aimedWithin = 0.9975f;
constexpr float dashSeconds = 0.6f;
constexpr float dashForce = 2000;
constexpr float shieldAhead = 40;
constexpr float stoppedBelow = 10;
} // namespace

std::shared_ptr<TDasher> TDasher::create(float x, float y) {
    auto dasher = std::make_shared<TDasher>();
    dasher->particle = TParticle::create(x, y, 0.96f, 500);
    dasher->shape = game->enemyShape9->copy();
    dasher->radius = 24;
    dasher->points = 150;
    dasher->state = EnemyState::Entering;
    dasher->dash.set(0, 0);
    // The shield joins the enemies list first, so in every pass it is drawn and hit-tested before its dasher.
    dasher->companion = TDasherShield::create();
    dasher->companion->shape->visible = false;
    game->particles.add(dasher->particle);
    game->enemies.add(dasher);
    return dasher;
}

std::shared_ptr<TDasherShield> TDasherShield::create() {
    auto shield = std::make_shared<TDasherShield>();
    shield->particle = TParticle::create(0, 0, 0.95f, 500);
    shield->radius = 24;
    shield->state = EnemyState::Active;
    shield->points = 0;
    shield->shape = game->enemyShape9a->copy();
    game->enemies.add(shield);
    return shield;
}

bool isLoweredShield(const TEnemy& enemy) {
    return enemy.kind() == EnemyKind::DasherShield && !enemy.shape->visible;
}

void TDasher::update(float dt) {
    if (skipThisFrame()) return;
    dispatchState(dt);
}

void TDasher::entryEnded() {
    state = EnemyState::Aiming;
    turn = randomInteger(1, 2) == 1 ? -aimTurn : aimTurn;
}

void TDasher::activeStep(float dt) {
    if (state == EnemyState::Aiming)
        aim();
    else if (state == EnemyState::Active)
        dashOn(dt);
    checkPlayerCollision(0);
}

void TDasher::aim() {
    TVector& heading = shape->heading;
    heading.rotate(turn).normalize();
    shape->needsRotation = 1;
    dash.set(-heading.y, -heading.x);
    TVector towardCraft = game->player->particle->position;
    towardCraft.subtract(particle->position);
    // Sitting on the craft there is no direction to aim at; the dot is then 0 and it keeps turning.
    towardCraft.normalize();
    if (towardCraft.dot(dash) <= aimedWithin) return;

    TEnemy& shield = *companion;
    shield.shape->visible = true;
    shield.particle->position.setFrom(particle->position);
    game->enemyMoved(shield);
    shield.shape->heading.setFrom(heading);
    shield.shape->needsRotation = 1;
    state = EnemyState::Active;
    dashTime = dashSeconds;
    dash.scale(dashForce);
}

// Thrust for dashTime, then coast on the damping; once slower than 10 it aims again, the other way round.
void TDasher::dashOn(float dt) {
    TVector& acceleration = particle->acceleration;
    acceleration.setFrom(dash);
    TVector ahead = dash;
    ahead.normalize().scale(shieldAhead);
    TEnemy& shield = *companion;
    shield.particle->position.setFrom(particle->position);
    shield.particle->position.add(ahead);
    game->enemyMoved(shield);
    dashTime -= dt;
    if (dashTime >= 0) return;
    acceleration.set(0, 0);
    if (particle->velocity.length() < stoppedBelow) {
        state = EnemyState::Aiming;
        shield.shape->visible = false;
        turn = -turn;
    }
}
