// The enemy base: the steps every kind shares and the two routines where enemies meet the craft.
//
// Sections: drawing · contact with the craft · dying and frozen · the hit routine · entry, homing and
// separation · the alternate-frame skeleton.
#include "enemies/enemy.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/splinter.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/popup_text.h"
#include "play/shockwave.h"
#include "play/spark.h"
#include "shapes/shape.h"

#include <cmath>
#include <string>

namespace {
constexpr float waveRadius = 800;
constexpr float lifeLostSeconds = 1.5f;
constexpr float blinkSeconds = 0.05f;
constexpr int killCountKinds = 10;
} // namespace

// --- Drawing -------------------------------------------------------------------------------------------

void TEnemy::draw() {
    setDrawOrigin(particle->position.x, particle->position.y);
    shape->draw(2);
}

// --- Contact with the craft ----------------------------------------------------------------------------

void TEnemy::checkPlayerCollision(float waveDt) {
    if (state == EnemyState::Dying || state == EnemyState::Frozen) return;
    TPlayer& craft = *game->player;
    if (particle->position.distanceTo(craft.particle->position) >= radius) return;

    // The shield simply breaks the enemy up: no points, no burst, no sound.
    if (craft.shieldOn) {
        state = EnemyState::Dying;
        return;
    }
    destroyCraft(waveDt);
}

void TEnemy::destroyCraft(float waveDt) {
    TPlayer& craft = *game->player;
    burst(particle->position, ExplosionBurst);
    burst(craft.particle->position,
          {.count = 50, .minSpeed = 200, .maxSpeed = 1600, .red = 255, .green = 255, .blue = 255});
    game->sounds->play(game->sounds->explosionSound, 1.0f);
    suspendChannel(game->sounds->engineChannel);
    craft.lives -= 1;
    craft.shape->visible = false;
    game->enemies.forEach([](TEnemy& enemy) { enemy.state = EnemyState::Dying; });
    TShockwave::create(craft.particle->position, waveRadius, 1, waveDt, 0);
    // The killer stays on the field, blinking, while the countdown runs; the wave must not take it.
    killedPlayer = 1;
    state = EnemyState::Frozen;
    game->state = GameState::LifeLost;
    game->deathTime = lifeLostSeconds;
}

// --- Dying and frozen ----------------------------------------------------------------------------------

void TEnemy::updateDying(float dt) {
    // Every line slides backwards along itself and fades, so the outline flies apart.
    const float slide = 10 * dt;
    for (TShapeLine& line : shape->drawnLines) {
        const float dx = (line.end.x - line.start.x) * slide;
        const float dy = (line.end.y - line.start.y) * slide;
        line.start.x -= dx;
        line.start.y -= dy;
        line.end.x -= dx;
        line.end.y -= dy;
        line.alpha *= 0.9f;
    }
    dyingTime -= dt;
    if (dyingTime < 0) {
        game->particles.remove(particle.get());
        game->enemies.remove(this);
    }
}

void TEnemy::updateFrozen(float dt) {
    blinkTime -= dt;
    if (blinkTime < 0) {
        blinkTime = blinkSeconds;
        shape->visible = !shape->visible;
    }
    particle->velocity.set(0, 0);
    particle->acceleration.set(0, 0);
}

// --- The hit routine -----------------------------------------------------------------------------------

void TEnemy::hit(int awardScore, float dt) {
    // Whatever else reaches a dying enemy in the same frame, it is scored and counted once.
    if (state == EnemyState::Dying) return;
    if (!hitByKind(dt)) return;

    TPlayer& craft = *game->player;
    const float x = particle->position.x;
    const float y = particle->position.y;
    if (awardScore == 1) {
        const int earned = points * craft.multiplier;
        craft.stats.score += earned;
        TPopupText::create(std::to_string(earned), x, y);
        if (craft.checkMultiplier()) {
            TPopupText::create("Multiplier X " + std::to_string(craft.multiplier), x, y + 25);
            game->sounds->play(game->sounds->multiplierSound, 1.0f);
        }
    }

    // Kills without score (swallowed by a well) still count, and still feed the multiplier.
    const int kindCode = kind();
    if (kindCode >= 0 && kindCode < killCountKinds) craft.stats.kills[static_cast<size_t>(kindCode)] += 1;
    craft.stats.shotsHit += 1;
    craft.kills += 1;

    game->sounds->play(game->sounds->explosionSound, 1.0f);
    burst(particle->position, ExplosionBurst);
    state = EnemyState::Dying;
}

bool TEnemy::hitByKind(float dt) {
    switch (kind()) {
    case EnemyKind::Splitter:
        splitIntoSplinters();
        return true;

    case EnemyKind::GravityWell:
        if (state == EnemyState::Active) {
            // The first hit only wakes a dormant well; the wake pushes the craft back.
            TShockwave::create(particle->position, waveRadius, 0, dt, 1);
            state = EnemyState::Sucking;
            game->player->stats.shotsHit += 1;
            return false;
        }
        if (state == EnemyState::Sucking) {
            hitPoints -= 1;
            burst(particle->position,
                  {.count = 21, .minSpeed = 200, .maxSpeed = 1600, .red = 255, .green = 255, .blue = 255});
            game->sounds->play(game->sounds->holeHitSound, 1.0f);
            pulseSpeed *= 1.2f;
            if (hitPoints > 0) return false;
            TShockwave::create(particle->position, waveRadius, 0, dt, 1);
            game->particles.remove(particle.get());
            game->enemies.remove(this);
        }
        return true;

    case EnemyKind::Snake:
        // Only the head can be hit; the count is of heads, so a segment leaves it alone.
        if (isHead == 0) return false;
        game->snakeCount -= 1;
        return true;

    case EnemyKind::Dasher:
        // The shield's particle was never in the particles list.
        if (companion) game->enemies.remove(companion.get());
        return true;

    case EnemyKind::DasherShield:
        return false;

    default:
        return true;
    }
}

void TEnemy::splitIntoSplinters() {
    // Three splinters flung away from the craft, each harder than the last, each swirling its own way.
    // Directly on the craft there is no "away": they start without a push.
    TVector away = particle->position;
    away.subtract(game->player->particle->position);
    const bool hasDirection = away.length() > 0;
    const float spins[3] = {8, -8, -10};
    const float pushes[3] = {9000, 18000, 32000};
    for (int i = 0; i < 3; ++i) {
        std::shared_ptr<TEnemy> splinter = createSplinter(particle->position, spins[i]);
        if (!splinter || !hasDirection) continue;
        away.normalize().scale(pushes[i]);
        splinter->particle->acceleration.setFrom(away);
    }
}

// --- Entry, homing and separation ----------------------------------------------------------------------

void TEnemy::updateEntry(float dt) {
    // The outline pulses from half to one and a half size while it materialises.
    entryScale += 15 * dt;
    if (entryScale > 1.5f) entryScale = 0.5f;
    shape->setScale(entryScale);
    entryTime -= dt;
    if (entryTime < 0) {
        state = EnemyState::Active;
        shape->setScale(1.0f);
    }
}

void TEnemy::seekPlayer(int force) {
    TVector toward = game->player->particle->position;
    toward.subtract(particle->position);
    // Right on top of the craft there is no way to go.
    if (toward.length() == 0) return;
    toward.normalize().scale(static_cast<float>(force));
    particle->acceleration.add(toward);
}

void TEnemy::separate() {
    const int ownKind = kind();
    TVector& here = particle->position;
    const auto pushApart = [&](TEnemy& other) {
        if (&other == this || other.kind() != ownKind) return;
        TVector& there = other.particle->position;
        const float dx = there.x - here.x;
        const float dy = there.y - here.y;
        // Pairs lined up exactly on an axis are left alone, which also keeps two enemies on one spot from
        // dividing by zero.
        if (dx == 0 || dy == 0) return;
        const float distance = std::sqrt(dx * dx + dy * dy);
        const float overlap = (distance - radius) / distance;
        if (overlap >= 0) return;
        const float sx = dx * 0.5f * overlap;
        const float sy = dy * 0.5f * overlap;
        here.x += sx;
        here.y += sy;
        there.x -= sx;
        there.y -= sy;
        game->enemyMoved(*this);
        game->enemyMoved(other);
    };
    if (game->enemiesByKind.isOpen())
        game->enemiesByKind.forEachWithKey(ownKind, pushApart);
    else
        game->enemies.forEach(pushApart);
}

// --- The alternate-frame skeleton ----------------------------------------------------------------------

bool TEnemy::skipThisFrame() {
    skipFrame = skipFrame == 0 ? 1 : 0;
    return skipFrame == 1;
}

void TEnemy::dispatchState(float dt) {
    switch (state) {
    case EnemyState::Entering:
        updateEntry(dt);
        if (state != EnemyState::Entering) entryEnded();
        break;
    case EnemyState::Active:
    case EnemyState::Sucking:
    case EnemyState::Aiming:
        activeStep(dt);
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
