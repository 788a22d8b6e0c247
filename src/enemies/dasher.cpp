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
    auto dasher = makeKind<TDasher>(
        x, y, {.damping = 0.96f, .maxSpeed = 500, .shapeFile = "enemy9.xml", .radius = 24, .points = 150});
    // The shield joins the enemies list first, so in every pass it is drawn and hit-tested before its dasher.
    dasher->shield = TDasherShield::create();
    dasher->shield->shape->visible = false;
    dasher->enlist();
    return dasher;
}

std::shared_ptr<TDasherShield> TDasherShield::create() {
    auto shield = makeKind<TDasherShield>(0, 0,
                                          {.damping = 0.95f,
                                           .maxSpeed = 500,
                                           .shapeFile = "enemy9a.xml",
                                           .radius = 24,
                                           .points = 0,
                                           .firstState = EnemyState::Active});
    game->enemies.add(shield);
    return shield;
}

bool isLoweredShield(const TEnemy& enemy) {
    return enemy.kind() == EnemyKind::DasherShield && !enemy.shape->visible;
}

void TDasher::entryEnded() {
    state = Aiming;
    turn = randomInteger(1, 2) == 1 ? -aimTurn : aimTurn;
}

void TDasher::activeStep(float dt) {
    if (state == Aiming)
        aim();
    else if (state == EnemyState::Active)
        dashOn(dt);
    checkPlayerCollision(0);
}

bool TDasher::hitByKind(float) {
    // The shield's particle was never in the particles list.
    if (shield) game->enemies.remove(shield.get());
    return true;
}

void TDasher::aim() {
    TVector& heading = shape->heading;
    heading.rotate(turn).normalize();
    shape->needsRotation = true;
    dash.set(-heading.y, -heading.x);
    // Sitting on the craft there is no direction to aim at; the dot is then 0 and it keeps turning.
    const TVector towardCraft = (game->player->particle->position - particle->position).normalized();
    if (towardCraft.dot(dash) <= aimedWithin) return;

    TEnemy& carried = *shield;
    carried.shape->visible = true;
    carried.particle->position = particle->position;
    game->enemyMoved(carried);
    carried.shape->heading = heading;
    carried.shape->needsRotation = true;
    state = EnemyState::Active;
    dashTime = dashSeconds;
    dash.scale(dashForce);
}

// Thrust for dashTime, then coast on the damping; once slower than 10 it aims again, the other way round.
void TDasher::dashOn(float dt) {
    TVector& acceleration = particle->acceleration;
    acceleration = dash;
    TEnemy& carried = *shield;
    carried.particle->position = particle->position + dash.normalized() * shieldAhead;
    game->enemyMoved(carried);
    dashTime -= dt;
    if (dashTime >= 0) return;
    acceleration.set(0, 0);
    if (particle->velocity.length() < stoppedBelow) {
        state = Aiming;
        carried.shape->visible = false;
        turn = -turn;
    }
}
