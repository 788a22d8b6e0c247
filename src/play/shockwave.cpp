#include "play/shockwave.h"

#include "app/game.h"
#include "enemies/dasher.h"
#include "enemies/enemy.h"
#include "platform/display.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/recycler.h"
#include "play/spark.h"

#include <algorithm>

namespace {
constexpr float growthPerSecond = 1300;
constexpr float fadePerSecond = 2;
constexpr float craftShove = 400000;
constexpr float sparkShove = 1400000;
constexpr float enemyShove = 400000;
constexpr float gridPushRadius = 300;

// Adds a push of the given strength straight away from centre. Something exactly on the centre has no
// "away", so it is left alone rather than handed a NaN.
void shoveAway(TParticle& target, const TVector& centre, float strength) {
    const TVector away = target.position - centre;
    if (away.length() == 0) return;
    target.acceleration.add(away.normalized() * strength);
}

// Wells and snakes hold their ground; the enemy that killed the craft stays frozen where it struck.
bool shovedByWaves(const TEnemy& enemy) {
    const EnemyKind kind = enemy.kind();
    return kind != EnemyKind::Snake && kind != EnemyKind::GravityWell && !enemy.killedPlayer;
}
} // namespace

std::shared_ptr<TShockwave> TShockwave::create(const TVector& position, float maxRadius, bool destroysEnemies,
                                               float dt, int pushCraft) {
    auto wave = std::allocate_shared<TShockwave>(TRecycler<TShockwave>{});
    wave->particle = TParticle::create(position.x, position.y, 0, 0);
    wave->maxRadius = maxRadius;
    wave->destroysEnemies = destroysEnemies;
    game->shockwaves.add(wave);

    const TVector& centre = wave->particle->position;
    if (pushCraft != 0) shoveAway(*game->player->particle, centre, craftShove * dt);
    game->grid->push(centre.x, centre.y, gridPushRadius);
    game->sparks.forEach([&](TSpark& spark) { shoveAway(spark.particle, centre, sparkShove * dt); });
    game->enemies.forEach([&](TEnemy& enemy) {
        if (shovedByWaves(enemy)) shoveAway(*enemy.particle, centre, enemyShove * dt);
    });
    return wave;
}

void TShockwave::update(float dt) {
    radius += growthPerSecond * dt;
    alpha -= fadePerSecond * dt;

    if (destroysEnemies) destroyEnemiesWithin();

    if (radius > maxRadius) {
        // Only now may the craft set off its next bomb.
        if (game->player->activeBomb.get() == this) game->player->activeBomb.reset();
        game->shockwaves.remove(this);
    }
}

void TShockwave::destroyEnemiesWithin() {
    const TVector& centre = particle->position;
    game->enemies.forEach([&](TEnemy& enemy) {
        if (enemy.killedPlayer) return;
        if (enemy.state == EnemyState::Dying || enemy.state == EnemyState::Entering) return;
        if (isLoweredShield(enemy)) return;
        if (centre.distanceTo(enemy.particle->position) >= radius) return;
        // Snake segments pop with bursts of their own as they die.
        if (enemy.kind() != EnemyKind::Snake) burst(enemy.particle->position, ExplosionBurst);
        enemy.state = EnemyState::Dying;
    });
}

void TShockwave::draw() {
    const TVector& centre = particle->position;
    setDrawOrigin(0, 0);
    setDrawRotation(0);
    setDrawScale(1, 1);
    setDrawColor(255, 255, 255);
    // The wave outlives its glow by a few frames; it is drawn fully faded then, not with a negative opacity.
    setDrawAlpha(std::max(alpha, 0.0f));
    fillOval(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius);
}
