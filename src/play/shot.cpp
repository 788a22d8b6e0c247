#include "play/shot.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/dasher.h"
#include "enemies/enemy.h"
#include "platform/display.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/recycler.h"
#include "play/spark.h"
#include "shapes/shape.h"

namespace {
constexpr float shotLife = 5.0f;
constexpr float shotMaxSpeed = 800;
// The shot appears in front of the craft's nose rather than inside its outline.
constexpr float launchLead = 24;

// Heavier weapons leave a wider wake in the grid.
float wakeRadius(int weaponLevel) {
    if (weaponLevel <= 1) return 20;
    if (weaponLevel == 2) return 30;
    return 50;
}

// Enemies that swallow a shot without being hurt: any snake segment but the head, and a raised shield.
bool absorbsShots(const TEnemy& enemy) {
    return enemy.isTailSegment() || enemy.kind() == EnemyKind::DasherShield;
}
} // namespace

// Solid, not dying, and not a lowered shield. Nothing in the shots pass can change any of the three: enemies
// finish entering and raise shields in their own updates, and dying is for good.
bool canMeetShots(const TEnemy& enemy) {
    if (enemy.state == EnemyState::Entering || enemy.state == EnemyState::Dying) return false;
    return !isLoweredShield(enemy);
}

std::shared_ptr<TShot> TShot::create(const TVector& position, const TVector& velocity) {
    auto shot = std::allocate_shared<TShot>(TRecycler<TShot>{});
    shot->life = shotLife;
    shot->shape = game->shotShape->copy();
    shot->particle = TParticle::create(position.x, position.y, 1.0f, shotMaxSpeed);

    // A still shot has no direction to lead along or to point its outline at; it keeps both as they are.
    if (velocity.length() > 0) {
        shot->particle->position.add(velocity.normalized() * launchLead);
        shot->shape->heading.set(-velocity.y, -velocity.x);
        shot->shape->needsRotation = true;
    }
    shot->particle->velocity = velocity;

    game->shots.add(shot);
    game->particles.add(shot->particle);
    return shot;
}

void TShot::checkBounds(float minX, float maxX, float minY, float maxY) {
    const TVector& at = particle->position;
    if (at.x < minX || at.x > maxX || at.y < minY || at.y > maxY) life = 0;
    if (life == 0) game->sounds->play(game->sounds->shotBurstSound, 1.0f);
}

void TShot::update(float dt) {
    if (hitFirstEnemy(dt) == HitResult::Absorbed) return;

    game->grid->push(particle->position.x, particle->position.y, wakeRadius(game->player->weaponLevel));

    life -= dt;
    // At zero, not only below: a hit or a wall in a frame that took no time must still end the shot now,
    // or the next frame's wall test would sound the burst a second time.
    if (life <= 0) end();
}

TShot::HitResult TShot::hitFirstEnemy(float dt) {
    HitResult result = HitResult::Missed;
    // The first enemy in list order that the shot is inside; the visit stops there.
    const auto strike = [&](TEnemy& enemy) {
        if (!canMeetShots(enemy)) return false;
        if (particle->position.distanceTo(enemy.particle->position) >= enemy.radius) return false;

        if (absorbsShots(enemy)) {
            game->shots.remove(this);
            game->particles.remove(particle.get());
            result = HitResult::Absorbed;
            return true;
        }
        enemy.particle->acceleration.set(0, 0);
        enemy.particle->velocity.set(0, 0);
        enemy.hit(true, dt);
        life = 0;
        result = HitResult::Struck;
        return true;
    };
    if (game->enemiesNear.isOpen())
        game->enemiesNear.forEachNearInOrder(particle->position, 0, strike);
    else
        game->enemies.forEachUntil(strike);
    return result;
}

void TShot::end() {
    burst(particle->position,
          {.count = 10, .minSpeed = 200, .maxSpeed = 400, .red = 255, .green = 200, .blue = 60});
    game->shots.remove(this);
    game->particles.remove(particle.get());
}

void TShot::draw() {
    setDrawOrigin(particle->position.x, particle->position.y);
    shape->draw(2);
}
