// What the shot, shockwave, spark, popup and enemy-base tests share: a bare enemy of any kind code (or of
// a real kind, where the kind's own behaviour is under test) and a fresh game per test, in play, with
// empty world lists.
#pragma once

#include "app/game.h"
#include "audio/sound_bank.h"
#include "enemies/enemy.h"
#include "harness/game_fixture.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/popup_text.h"
#include "play/scroll.h"
#include "play/shockwave.h"
#include "play/shot.h"
#include "play/spark.h"
#include "shapes/shape.h"

#include <cmath>
#include <memory>
#include <ostream>

// An enemy with the base behaviour only; like every real kind, its active step is the contact test.
class TTestEnemy : public TEnemy {
public:
    EnemyKind reportedKind = EnemyKind::Wanderer;
    int activeSteps = 0;
    int entryEnds = 0;

    EnemyKind kind() const override { return reportedKind; }

protected:
    void entryEnded() override { ++entryEnds; }
    void activeStep(float) override {
        ++activeSteps;
        checkPlayerCollision(0);
    }
};

// Two lines, so that the dying step has something to slide and fade.
inline std::shared_ptr<TShape> testOutline() {
    auto shape = std::make_shared<TShape>();
    shape->sourceLines.push_back(TShapeLine::create(-10, 0, 10, 0, 1, 255, 0, 0));
    shape->sourceLines.push_back(TShapeLine::create(0, -10, 0, 10, 1, 0, 255, 0));
    shape->drawnLines = shape->sourceLines;
    shape->needsRotation = false;
    return shape;
}

// Fills in a bare enemy with the test outline and appends it to the lists as the kinds' creates do.
template <class Kind>
std::shared_ptr<Kind> placeEnemy(std::shared_ptr<Kind> enemy, float x, float y, EnemyState state,
                                 float radius, int points) {
    enemy->particle = TParticle::create(x, y, 1.0f, 500);
    enemy->shape = testOutline();
    enemy->radius = radius;
    enemy->points = points;
    enemy->state = state;
    if (enemy->kind() != EnemyKind::DasherShield) game->particles.add(enemy->particle);
    game->enemies.add(enemy);
    return enemy;
}

// A base-only enemy that reports the given kind code.
inline std::shared_ptr<TTestEnemy> addTestEnemy(EnemyKind kind, float x, float y,
                                                EnemyState state = EnemyState::Active, float radius = 32,
                                                int points = 100) {
    auto enemy = std::make_shared<TTestEnemy>();
    enemy->reportedKind = kind;
    return placeEnemy(enemy, x, y, state, radius, points);
}

// A real kind made bare, without its create (no tail, no shield, no level-dependent fields), where the
// kind's own behaviour is under test.
template <class Kind>
std::shared_ptr<Kind> addKindEnemy(float x, float y, EnemyState state = EnemyState::Active, float radius = 32,
                                   int points = 100) {
    return placeEnemy(std::make_shared<Kind>(), x, y, state, radius, points);
}

// Kinds and states in failure messages, by their numbers.
inline std::ostream& operator<<(std::ostream& out, EnemyKind kind) {
    return out << kindCode(kind);
}
inline std::ostream& operator<<(std::ostream& out, EnemyState state) {
    return out << stateCode(state);
}

inline bool isFinite(const TVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// A fresh game in play with the craft at rest in the middle of the screen, (400, 300), unshielded, and
// nothing else in the world lists.
class PlayWorldTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        if (HasFatalFailure()) return;
        game->state = GameState::Play;
        game->sparks.clear();
        game->shots.clear();
        game->shockwaves.clear();
        game->popups.clear();
        ASSERT_TRUE(game->enemies.empty());
        ASSERT_FLOAT_EQ(craft().particle->position.x, 400);
        ASSERT_FLOAT_EQ(craft().particle->position.y, 300);
        ASSERT_EQ(craft().shieldOn, 0);
        worldScrollOffset().set(0, 0);
    }

    TPlayer& craft() { return *game->player; }

    // Effects other than explosions each take a pool channel and keep it while they sound.
    int effectsSounding() const {
        int count = 0;
        for (const auto& channel : game->sounds->pool)
            count += channel && isChannelPlaying(channel);
        return count;
    }
};
