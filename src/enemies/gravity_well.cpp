// The gravity well. Its sucking step, in the order it runs: grid pull, pulse, one spark, pull on sparks,
// pull on (and swallowing of) enemies, pull on the craft, separation and contact.
#include "enemies/gravity_well.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/level_director.h"
#include "enemies/well_child.h"
#include "platform/random.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shockwave.h"
#include "play/spark.h"
#include "shapes/shape.h"

#include <cmath>

namespace {
constexpr int hitPointsOverLevel = 8;
constexpr int swallowsToOverload = 15;
constexpr float biggestPulse = 1.0f;
constexpr float smallestPulse = 0.5f;
constexpr float hitSpeedUp = 1.2f;
constexpr float swallowSpeedUp = 1.025f;
constexpr float sparkReach = 300;
constexpr float sparkPull = 108000;
constexpr float enemyReach = 300;
constexpr float swallowReach = 50;
constexpr float enemyPull = 100000;
constexpr float craftReach = 400;
constexpr float craftPull = 75000;
constexpr int overloadChildren = 15;
constexpr float childScatter = 50;
} // namespace

std::shared_ptr<TGravityWell> TGravityWell::create(float x, float y) {
    auto well = makeListed<TGravityWell>(
        x, y, {.damping = 1.0f, .maxSpeed = 15, .shapeFile = "enemy5.xml", .radius = 40, .points = 150});
    // Later wells take more shots to kill.
    well->hitPoints = game->levelDirector->level + hitPointsOverLevel;
    well->pulseSpeed = 1.0f;
    well->absorbLeft = swallowsToOverload;
    return well;
}

void TGravityWell::activeStep(float dt) {
    // Dormant, it only waits to be shot (or touched).
    if (state == EnemyState::Active) checkPlayerCollision(0);
    if (state == Sucking) suck(dt);
}

bool TGravityWell::hitByKind(float dt) {
    if (state == EnemyState::Active) {
        // The first hit only wakes a dormant well; the wake pushes the craft back.
        TShockwave::create(particle->position, waveRadius, 0, dt, 1);
        state = Sucking;
        game->player->stats.shotsHit += 1;
        return false;
    }
    if (state == Sucking) {
        hitPoints -= 1;
        burst(particle->position,
              {.count = 21, .minSpeed = 200, .maxSpeed = 1600, .red = 255, .green = 255, .blue = 255});
        game->sounds->play(game->sounds->holeHitSound, 1.0f);
        pulseSpeed *= hitSpeedUp;
        if (hitPoints > 0) return false;
        TShockwave::create(particle->position, waveRadius, 0, dt, 1);
        game->particles.remove(particle.get());
        game->enemies.remove(this);
    }
    return true;
}

void TGravityWell::suck(float dt) {
    game->grid->pull(particle->position.x, particle->position.y);
    pulse(dt);
    emitSpark();
    pullSparks(dt);
    if (!pullEnemies(dt)) return;
    pullCraft(dt);
    separate();
    checkPlayerCollision(0);
}

// The outline breathes between half and full size; hits and swallows make it breathe faster.
void TGravityWell::pulse(float dt) {
    shape->changeScale(pulseSpeed * dt);
    if (shape->scale >= biggestPulse) {
        pulseSpeed = -pulseSpeed;
        shape->setScale(biggestPulse);
    } else if (shape->scale <= smallestPulse) {
        shape->setScale(smallestPulse);
        pulseSpeed = -pulseSpeed;
    }
}

// One spark on a ring of radius 190..200 around the well; the pull below draws it in. The draws come in a
// fixed order (angle, radius, blue) so that a seeded run plays out the same every time.
void TGravityWell::emitSpark() {
    const int angle = randomInteger(0, 359);
    const int distance = randomInteger(190, 200);
    const double radians = degreesToRadians(angle);
    const TVector at{particle->position.x + static_cast<float>(std::sin(radians) * distance),
                     particle->position.y + static_cast<float>(std::cos(radians) * distance)};
    const int blue = static_cast<int>(randomReal(100, 150));
    TSpark::create(at, {50, 50}, {.red = 255, .green = 200, .blue = blue, .life = 2.0f, .damping = 0.98f});
}

void TGravityWell::pullSparks(float dt) {
    const TVector& here = particle->position;
    const float strength = sparkPull * dt;
    // Each spark takes one pull of its own, so the order they are visited in changes no sum. The distance
    // and the pull's own length are one and the same, worked out once here with the float operations of
    // distanceTo and pullToward, in their order: thousands of sparks per well in a full arena.
    const auto pull = [&](TSpark& spark) {
        const TVector& there = spark.particle.position;
        float dx = here.x - there.x;
        float dy = here.y - there.y;
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance >= sparkReach || distance == 0) return;
        if (distance > 0) { // a NaN distance leaves the direction as it is, as normalize does
            dx /= distance;
            dy /= distance;
        }
        dx *= strength;
        dy *= strength;
        TVector& acceleration = spark.particle.acceleration;
        acceleration.x += dx;
        acceleration.y += dy;
    };
    if (game->sparksNear.isOpen())
        game->sparksNear.forEachNear(here, sparkReach, pull);
    else
        game->sparks.forEach(pull);
}

bool TGravityWell::pullEnemies(float dt) {
    bool overloaded = false;
    // In list order: a swallow can wake a well, whose wave shoves every enemy between two pulls.
    const auto pullOrSwallow = [&](TEnemy& other) {
        // Once overloaded the well is gone; the children it just made must not be swallowed by it.
        if (overloaded || &other == this) return;
        if (other.state == EnemyState::Entering || other.state == EnemyState::Dying) return;
        if (other.isTailSegment()) return;
        const float distance = other.particle->position.distanceTo(particle->position);
        if (distance >= enemyReach) return;
        if (distance >= swallowReach) {
            other.particle->pullToward(particle->position, enemyPull * dt);
            return;
        }
        // Two sucking wells leave each other alone; a dormant one is only woken by its hit.
        const bool suckingWell = other.kind() == EnemyKind::GravityWell && other.state == Sucking;
        if (!suckingWell) other.hit(false, dt);
        if (other.kind() != EnemyKind::GravityWell) {
            // A dasher's shield survives its hit, so it is swallowed again on every update it stays here.
            points += other.points / 2;
            absorbLeft -= 1;
            pulseSpeed *= swallowSpeedUp;
        }
        if (absorbLeft <= 1) {
            overload(dt);
            overloaded = true;
        }
    };
    if (game->enemiesAround.isOpen()) {
        game->enemiesAround.forEachNearInOrder(particle->position, enemyReach, [&](TEnemy& other) {
            pullOrSwallow(other);
            return false;
        });
    } else {
        game->enemies.forEach(pullOrSwallow);
    }
    return !overloaded;
}

void TGravityWell::overload(float dt) {
    const float x = particle->position.x;
    const float y = particle->position.y;
    for (int i = 0; i < overloadChildren; ++i) {
        // The y offset is drawn first.
        const auto dy = static_cast<float>(randomReal(-childScatter, childScatter));
        const auto dx = static_cast<float>(randomReal(-childScatter, childScatter));
        TWellChild::create(x + dx, y + dy);
    }
    // The well ends through its own hit: no score, but the kill counts and it bursts like a shot-down well.
    hitPoints = 0;
    hit(false, dt);
    game->sounds->play(game->sounds->holeExplodeSound, 1.0f);
}

void TGravityWell::pullCraft(float dt) {
    TParticle& craft = *game->player->particle;
    if (craft.position.distanceTo(particle->position) >= craftReach) return;
    craft.pullToward(particle->position, craftPull * dt);
}
