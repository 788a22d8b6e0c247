// The enemy base: the steps every kind shares and the two routines where enemies meet the craft.
//
// Sections: making one · drawing · contact with the craft · dying and frozen · the hit routine · entry,
// homing and separation · the alternate-frame skeleton.
#include "enemies/enemy.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/popup_text.h"
#include "play/shockwave.h"
#include "play/spark.h"
#include "scores/score_record.h"
#include "shapes/shape.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace {
constexpr float lifeLostSeconds = 1.5f;
constexpr float blinkSeconds = 0.05f;

// Splinters are small splitters (enemy3); the snake's tail and the dasher's shield have their own.
constexpr const char* enemyShapeFiles[] = {"enemy0.xml", "enemy1.xml", "enemy2.xml", "enemy3.xml",
                                           "enemy5.xml", "enemy6.xml", "enemy7.xml", "enemy7a.xml",
                                           "enemy8.xml", "enemy9.xml", "enemy9a.xml"};
} // namespace

// --- Making one -----------------------------------------------------------------------------------------

void TEnemy::setUp(float x, float y, const TKindBasics& basics) {
    particle = TParticle::create(x, y, basics.damping, basics.maxSpeed);
    // A file left out of the list is a slip in the code: it fails loudly rather than draw nothing.
    const auto outline = game->enemyShapes.find(std::string_view(basics.shapeFile));
    if (outline == game->enemyShapes.end())
        throw std::out_of_range(std::string("no enemy outline ") + basics.shapeFile);
    shape = outline->second->copy();
    radius = basics.radius;
    points = basics.points;
    state = basics.firstState;
}

void TEnemy::enlist() {
    game->particles.add(particle);
    game->enemies.add(shared_from_this());
}

TEnemyShapes loadEnemyShapes() {
    TEnemyShapes shapes;
    for (const char* file : enemyShapeFiles)
        shapes[file] = TShape::create(std::string("incbin::") + file);
    return shapes;
}

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
    killedPlayer = true;
    state = EnemyState::Frozen;
    game->state = GameState::LifeLost;
    game->deathTime = lifeLostSeconds;
}

// --- Dying and frozen ----------------------------------------------------------------------------------

void TEnemy::updateDying(float dt) {
    // Every line slides backwards along itself and fades, so the outline flies apart.
    const float slide = 10 * dt;
    for (TShapeLine& line : shape->drawnLines) {
        const TVector slideBack = (line.end - line.start) * slide;
        line.start.subtract(slideBack);
        line.end.subtract(slideBack);
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

void TEnemy::hit(bool awardScore, float dt) {
    // Whatever else reaches a dying enemy in the same frame, it is scored and counted once.
    if (state == EnemyState::Dying) return;
    if (!hitByKind(dt)) return;

    TPlayer& craft = *game->player;
    const float x = particle->position.x;
    const float y = particle->position.y;
    if (awardScore) {
        const int earned = points * craft.multiplier;
        craft.stats.score += earned;
        TPopupText::create(std::to_string(earned), x, y);
        if (craft.checkMultiplier()) {
            TPopupText::create("Multiplier X " + std::to_string(craft.multiplier), x, y + 25);
            game->sounds->play(game->sounds->multiplierSound, 1.0f);
        }
    }

    // Kills without score (swallowed by a well) still count, and still feed the multiplier.
    const int code = kindCode(kind());
    if (code >= 0 && code < TScoreRecord::KindCount) craft.stats.kills[static_cast<size_t>(code)] += 1;
    craft.stats.shotsHit += 1;
    craft.kills += 1;

    game->sounds->play(game->sounds->explosionSound, 1.0f);
    burst(particle->position, ExplosionBurst);
    state = EnemyState::Dying;
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
    particle->pullToward(game->player->particle->position, static_cast<float>(force));
}

void TEnemy::separate() {
    const EnemyKind ownKind = kind();
    TVector& here = particle->position;
    const double radiusSquared = static_cast<double>(radius) * radius; // exact in double
    // Where is other's position, which the walk may know without going to other.
    const auto pushApart = [&](TEnemy& other, const TVector& where) {
        if (&other == this) return;
        const float dx = where.x - here.x;
        const float dy = where.y - here.y;
        // Pairs lined up exactly on an axis are left alone, which also keeps two enemies on one spot from
        // dividing by zero.
        if (dx == 0 || dy == 0) return;
        const float squared = dx * dx + dy * dy;
        // Most of a walk's candidates are out of reach, which the square tells without the root: a square
        // of at least radius² has a root of at least radius, rounded or not. An infinite one goes on to
        // the root, as it always has.
        if (squared >= radiusSquared && squared <= std::numeric_limits<float>::max()) return;
        const float distance = std::sqrt(squared);
        const float overlap = (distance - radius) / distance;
        if (overlap >= 0) return;
        const float sx = dx * 0.5f * overlap;
        const float sy = dy * 0.5f * overlap;
        TVector& there = other.particle->position;
        here.x += sx;
        here.y += sy;
        there.x -= sx;
        there.y -= sy;
        game->enemyMoved(other);
    };
    if (!game->enemiesAround.isOpen()) {
        game->enemies.forEach([&](TEnemy& other) {
            if (other.kind() == ownKind) pushApart(other, other.particle->position);
        });
        return;
    }
    // Only those near where this enemy stands can come within its radius, as long as its own pushes have
    // not carried it far; once they have, the rest of the list is looked at around where it has got to. A
    // crowd of a thousand swarmers is then a thousand short looks instead of a million pairs. In a crowd
    // the pushes come from all sides and mostly cancel, so the distance is measured, not summed.
    const float driftAllowed = radius * 0.5f;
    for (size_t from = 0;;) {
        const TVector start = here;
        const TEnemy* carriedAway = nullptr;
        const auto visit = [&](TEnemy& other, const TVector& where) {
            pushApart(other, where);
            const float dx = here.x - start.x, dy = here.y - start.y;
            // The index's margin of a unit covers this square's rounding; a NaN is carried away too.
            if (dx * dx + dy * dy <= driftAllowed * driftAllowed) return false;
            carriedAway = &other;
            return true;
        };
        game->enemiesAround.forEachNearWithKeyInOrder(start, radius + driftAllowed, kindCode(ownKind), from,
                                                      visit);
        // Told once a walk is over rather than at every push: the walk reads the others' places, never its
        // own, and the next walk is the first query to come.
        if (here.x != start.x || here.y != start.y) game->enemyMoved(*this);
        if (!carriedAway) return;
        from = game->enemies.slotOf(carriedAway) + 1;
    }
}

// --- The alternate-frame skeleton ----------------------------------------------------------------------

bool TEnemy::skipThisFrame() {
    skipFrame = !skipFrame;
    return skipFrame;
}

void TEnemy::dispatchState(float dt) {
    switch (state) {
    case EnemyState::Entering:
        updateEntry(dt);
        if (state != EnemyState::Entering) entryEnded();
        break;
    case EnemyState::Dying:
        dyingStep(dt);
        break;
    case EnemyState::Frozen:
        updateFrozen(dt);
        break;
    default:
        activeStep(dt);
        break;
    }
}
