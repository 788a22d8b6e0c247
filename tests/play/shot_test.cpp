#include "enemies/dasher.h"
#include "enemies/enemy_base_kit.h"
#include "enemies/snake.h"

#include "play/shot.h"
#include "play/spark.h"

namespace {

// Wall test then update, as the world pass runs them.
void runShots(float dt) {
    game->shots.forEach([&](TShot& shot) {
        shot.checkBounds(0, 1024, 0, 640);
        shot.update(dt);
    });
}

int orangeSparks() {
    int count = 0;
    game->sparks.forEach([&](TSpark& s) { count += s.red == 255 && s.green == 200 && s.blue == 60; });
    return count;
}

using Shot = PlayWorldTest;

TEST_F(Shot, StartsAheadAlongItsFlightAndAStillOneWithoutNaN) {
    auto shot = TShot::create(TVector{100, 100}, TVector{0, 800});
    EXPECT_FLOAT_EQ(shot->particle->position.y, 124);
    EXPECT_FLOAT_EQ(shot->shape->heading.x, -800);
    EXPECT_TRUE(game->particles.contains(shot->particle.get()));
    auto still = TShot::create(TVector{100, 100}, TVector{0, 0});
    EXPECT_TRUE(isFinite(still->particle->position));
}

TEST_F(Shot, HitsOnlyTheFirstOfTwoOverlappingEnemiesInListOrder) {
    auto first = addTestEnemy(EnemyKind::Chaser, 200, 200);
    auto second = addTestEnemy(EnemyKind::Chaser, 205, 200);
    first->particle->velocity.set(50, 50);
    TShot::create(TVector{180, 200}, TVector{800, 0}); // at 204 once made
    runShots(0.01f);
    EXPECT_EQ(first->state, EnemyState::Dying);
    EXPECT_EQ(first->particle->velocity.length(), 0);
    EXPECT_EQ(second->state, EnemyState::Active);
    EXPECT_EQ(craft().stats.score, 100);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_EQ(orangeSparks(), 10);
}

TEST_F(Shot, PassesOverEnteringDyingAndLoweredShieldEnemies) {
    auto entering = addTestEnemy(EnemyKind::Chaser, 200, 200, EnemyState::Entering);
    addTestEnemy(EnemyKind::Chaser, 200, 200, EnemyState::Dying);
    auto shield = addKindEnemy<TDasherShield>(200, 200);
    shield->shape->visible = 0;
    auto behind = addTestEnemy(EnemyKind::Chaser, 210, 200);
    TShot::create(TVector{180, 200}, TVector{800, 0});
    runShots(0.01f);
    EXPECT_EQ(entering->state, EnemyState::Entering);
    EXPECT_EQ(behind->state, EnemyState::Dying);
    EXPECT_EQ(craft().stats.score, 100);
}

TEST_F(Shot, IsSwallowedSilentlyByASnakeTailOrARaisedShield) {
    for (const bool tail : {true, false}) {
        std::shared_ptr<TEnemy> absorber;
        if (tail)
            absorber = addKindEnemy<TSnake>(200, 200); // made bare, it is a segment
        else
            absorber = addKindEnemy<TDasherShield>(200, 200);
        const EnemyKind kind = absorber->kind();
        auto shot = TShot::create(TVector{180, 200}, TVector{800, 0});
        runShots(0.01f);
        EXPECT_EQ(absorber->state, EnemyState::Active) << kind;
        EXPECT_FALSE(game->particles.contains(shot->particle.get())) << kind;
        EXPECT_TRUE(game->shots.empty() && game->sparks.empty()) << kind;
        EXPECT_EQ(game->sounds->explosionCursor, 0) << kind;
        game->enemies.remove(absorber.get());
    }
}

TEST_F(Shot, LeavingTheArenaBurstsAndSoundsOnceEvenInAFrameWithoutTime) {
    for (float dt : {0.01f, 0.0f}) {
        game->sparks.clear();
        const int soundingBefore = effectsSounding();
        auto shot = TShot::create(TVector{1000, 300}, TVector{800, 0});
        shot->particle->position.x = 1024.5f;
        runShots(dt);
        runShots(dt);
        EXPECT_TRUE(game->shots.empty()) << dt;
        EXPECT_EQ(orangeSparks(), 10) << dt;
        EXPECT_EQ(effectsSounding(), soundingBefore + 1) << dt;
    }
}

TEST_F(Shot, BurstsAfterFiveSecondsOfFlight) {
    auto shot = TShot::create(TVector{500, 300}, TVector{0, 0});
    for (int i = 0; i < 49; ++i)
        runShots(0.1f);
    EXPECT_TRUE(game->shots.contains(shot.get()));
    runShots(0.11f);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_EQ(orangeSparks(), 10);
}

} // namespace
