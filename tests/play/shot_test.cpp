#include "enemies/enemy_base_kit.h"

#include "play/shot.h"
#include "play/spark.h"

namespace {

// The world pass in the order the game runs it, for the parts these tests need.
void runShots(float dt) {
    game->shots.forEach([&](TShot& shot) {
        shot.checkBounds(0, 1024, 0, 640);
        shot.update(dt);
    });
}

int sparksOfColour(int red, int green, int blue) {
    int count = 0;
    game->sparks.forEach([&](TSpark& spark) {
        if (spark.red == red && spark.green == green && spark.blue == blue) ++count;
    });
    return count;
}

using ShotLaunch = PlayWorldTest;

TEST_F(ShotLaunch, StartsAheadAlongItsFlightAndPointsTheOutlineThatWay) {
    auto shot = TShot::create(TVector{100, 100}, TVector{0, 800});
    EXPECT_FLOAT_EQ(shot->particle->position.x, 100);
    EXPECT_FLOAT_EQ(shot->particle->position.y, 124);
    EXPECT_FLOAT_EQ(shot->particle->velocity.y, 800);
    EXPECT_FLOAT_EQ(shot->shape->heading.x, -800);
    EXPECT_FLOAT_EQ(shot->shape->heading.y, -0.0f);
    EXPECT_FLOAT_EQ(shot->life, 5.0f);
    EXPECT_TRUE(game->shots.contains(shot.get()));
    EXPECT_TRUE(game->particles.contains(shot->particle.get()));
}

TEST_F(ShotLaunch, AStillShotStaysWhereItWasMadeWithoutNaN) {
    auto shot = TShot::create(TVector{100, 100}, TVector{0, 0});
    EXPECT_TRUE(isFinite(shot->particle->position));
    EXPECT_FLOAT_EQ(shot->particle->position.x, 100);
    EXPECT_FLOAT_EQ(shot->particle->position.y, 100);
}

TEST_F(ShotLaunch, IsCutToItsTopSpeedOnTheFirstMove) {
    auto shot = TShot::create(TVector{100, 100}, TVector{1100, 0});
    shot->particle->update(0.01f, false);
    EXPECT_FLOAT_EQ(shot->particle->velocity.length(), 800);
}

using ShotHits = PlayWorldTest;

TEST_F(ShotHits, OnlyTheFirstOfTwoOverlappingEnemiesInListOrder) {
    auto first = addTestEnemy(EnemyKind::Chaser, 200, 200);
    auto second = addTestEnemy(EnemyKind::Chaser, 205, 200);
    first->particle->velocity.set(50, 50);
    TShot::create(TVector{180, 200}, TVector{800, 0}); // starts 24 ahead: at 204
    runShots(0.01f);

    EXPECT_EQ(first->state, EnemyState::Dying);
    EXPECT_EQ(first->particle->velocity.length(), 0);
    EXPECT_EQ(second->state, EnemyState::Active);
    EXPECT_EQ(craft().stats.score, 100);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_EQ(sparksOfColour(255, 200, 60), 10);
}

TEST_F(ShotHits, PassOverEnteringAndDyingEnemies) {
    auto entering = addTestEnemy(EnemyKind::Chaser, 200, 200, EnemyState::Entering);
    addTestEnemy(EnemyKind::Chaser, 200, 200, EnemyState::Dying);
    auto behind = addTestEnemy(EnemyKind::Chaser, 210, 200);
    TShot::create(TVector{180, 200}, TVector{800, 0});
    runShots(0.01f);

    EXPECT_EQ(entering->state, EnemyState::Entering);
    EXPECT_EQ(behind->state, EnemyState::Dying);
    EXPECT_EQ(craft().stats.score, 100);
}

TEST_F(ShotHits, ASnakeTailAndARaisedShieldSwallowTheShotSilently) {
    for (int kind : {EnemyKind::Snake, EnemyKind::DasherShield}) {
        auto absorber = addTestEnemy(kind, 200, 200);
        const int explosionsBefore = game->sounds->explosionCursor;
        auto shot = TShot::create(TVector{180, 200}, TVector{800, 0});
        runShots(0.01f);

        EXPECT_EQ(absorber->state, EnemyState::Active) << kind;
        EXPECT_TRUE(game->shots.empty()) << kind;
        EXPECT_FALSE(game->particles.contains(shot->particle.get())) << kind;
        EXPECT_TRUE(game->sparks.empty()) << kind;
        EXPECT_EQ(game->sounds->explosionCursor, explosionsBefore) << kind;
        EXPECT_EQ(craft().stats.shotsHit, 0) << kind;
        game->enemies.remove(absorber.get());
    }
}

TEST_F(ShotHits, ASnakeHeadIsHitLikeAnyEnemy) {
    auto head = addTestEnemy(EnemyKind::Snake, 200, 200, EnemyState::Active, 24, 150);
    head->isHead = 1;
    game->snakeCount = 1;
    TShot::create(TVector{180, 200}, TVector{800, 0});
    runShots(0.01f);
    EXPECT_EQ(head->state, EnemyState::Dying);
    EXPECT_EQ(game->snakeCount, 0);
    EXPECT_EQ(craft().stats.score, 150);
}

TEST_F(ShotHits, AHiddenShieldIsNotThereForShots) {
    auto shield = addTestEnemy(EnemyKind::DasherShield, 200, 200);
    shield->shape->visible = 0;
    auto behind = addTestEnemy(EnemyKind::Chaser, 230, 200);
    TShot::create(TVector{180, 200}, TVector{800, 0});
    runShots(0.01f);
    EXPECT_EQ(shield->state, EnemyState::Active);
    EXPECT_EQ(behind->state, EnemyState::Dying);
}

using ShotEnds = PlayWorldTest;

TEST_F(ShotEnds, LeavingTheArenaBurstsAndSoundsOnceOnTheSameFrame) {
    auto shot = TShot::create(TVector{1000, 300}, TVector{800, 0});
    shot->particle->update(0.01f, false); // now past the right wall
    const int soundingBefore = effectsSounding();
    runShots(0.01f);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_EQ(sparksOfColour(255, 200, 60), 10);
    EXPECT_EQ(effectsSounding(), soundingBefore + 1);

    runShots(0.01f);
    EXPECT_EQ(sparksOfColour(255, 200, 60), 10);
    EXPECT_EQ(effectsSounding(), soundingBefore + 1);
}

TEST_F(ShotEnds, AWallHitInAFrameThatTookNoTimeStillEndsTheShot) {
    auto shot = TShot::create(TVector{1000, 300}, TVector{800, 0});
    shot->particle->position.x = 1030;
    runShots(0);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_EQ(sparksOfColour(255, 200, 60), 10);
}

TEST_F(ShotEnds, OnTheWallItselfTheShotFliesOn) {
    auto shot = TShot::create(TVector{1000, 300}, TVector{800, 0});
    shot->particle->position.x = 1024;
    runShots(0.01f);
    EXPECT_TRUE(game->shots.contains(shot.get()));
}

TEST_F(ShotEnds, AfterFiveSecondsOfFlight) {
    auto shot = TShot::create(TVector{500, 300}, TVector{0, 0});
    for (int i = 0; i < 49; ++i)
        runShots(0.1f);
    EXPECT_TRUE(game->shots.contains(shot.get()));
    runShots(0.11f);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_FALSE(game->particles.contains(shot->particle.get()));
    EXPECT_EQ(sparksOfColour(255, 200, 60), 10);
}

} // namespace
