#include "enemies/enemy_base_kit.h"

#include "play/shockwave.h"
#include "play/spark.h"

namespace {

void runWaves(float dt) {
    game->shockwaves.forEach([&](TShockwave& wave) { wave.update(dt); });
}

using ShockwaveGrowth = PlayWorldTest;

TEST_F(ShockwaveGrowth, GrowsAt1300AndFadesAt2PerSecond) {
    auto wave = TShockwave::create(TVector{400, 300}, 800, 0, 0, 0);
    runWaves(0.1f);
    runWaves(0.1f);
    EXPECT_NEAR(wave->radius, 260, 1e-3);
    EXPECT_NEAR(wave->alpha, 0.6f, 1e-5);
}

TEST_F(ShockwaveGrowth, ABombWaveEndsPast800AndOnlyThenFreesTheNextBomb) {
    auto bomb = TShockwave::create(craft().particle->position, 800, 1, 0.016f, 0);
    auto other = TShockwave::create(TVector{100, 100}, 100, 0, 0.016f, 0);
    craft().activeBomb = bomb;

    runWaves(0.1f); // the other wave passes its 100 and ends; the bomb is still the craft's
    EXPECT_FALSE(game->shockwaves.contains(other.get()));
    EXPECT_EQ(craft().activeBomb, bomb);

    for (int i = 0; i < 5; ++i)
        runWaves(0.1f); // radius 780
    EXPECT_EQ(craft().activeBomb, bomb);
    runWaves(0.02f); // 806
    EXPECT_EQ(craft().activeBomb, nullptr);
    EXPECT_TRUE(game->shockwaves.empty());
}

using ShockwaveShove = PlayWorldTest;

TEST_F(ShockwaveShove, PushesSparksEnemiesAndOnRequestTheCraftAwayFromTheCentre) {
    game->sparks.add(TSpark::create(TVector{400, 100}, 0, 0, 255, 255, 255, 1, 0.95f));
    auto chaser = addTestEnemy(EnemyKind::Chaser, 600, 100);
    TShockwave::create(TVector{400, 200}, 800, 0, 0.01f, 1);

    TVector sparkPush = game->sparks.first()->particle->acceleration;
    EXPECT_NEAR(sparkPush.x, 0, 1e-3);
    EXPECT_NEAR(sparkPush.y, -14000, 1e-1);
    EXPECT_NEAR(chaser->particle->acceleration.length(), 4000, 1e-1);
    EXPECT_GT(chaser->particle->acceleration.x, 0);
    EXPECT_LT(chaser->particle->acceleration.y, 0);
    EXPECT_NEAR(craft().particle->acceleration.y, 4000, 1e-1); // the craft is 100 below
}

TEST_F(ShockwaveShove, LeavesWellsSnakesTheKillerAndWithoutPushCraftTheCraftAlone) {
    auto well = addTestEnemy(EnemyKind::GravityWell, 500, 200);
    auto snake = addTestEnemy(EnemyKind::Snake, 500, 200);
    auto killer = addTestEnemy(EnemyKind::Chaser, 500, 200, EnemyState::Frozen);
    killer->killedPlayer = 1;
    TShockwave::create(TVector{400, 200}, 800, 1, 0.01f, 0);
    for (auto* enemy : {well.get(), snake.get(), killer.get()})
        EXPECT_EQ(enemy->particle->acceleration.length(), 0) << enemy->kind();
    EXPECT_EQ(craft().particle->acceleration.length(), 0);
}

TEST_F(ShockwaveShove, ANothingExactlyOnTheCentreIsLeftWithoutNaN) {
    game->sparks.add(TSpark::create(TVector{400, 300}, 0, 0, 255, 255, 255, 1, 0.95f));
    auto chaser = addTestEnemy(EnemyKind::Chaser, 400, 300);
    TShockwave::create(TVector{400, 300}, 800, 0, 0.01f, 1);
    EXPECT_TRUE(isFinite(game->sparks.first()->particle->acceleration));
    EXPECT_TRUE(isFinite(chaser->particle->acceleration));
    EXPECT_TRUE(isFinite(craft().particle->acceleration));
}

TEST_F(ShockwaveShove, AWaveMadeWithoutFrameTimeShovesNothing) {
    auto chaser = addTestEnemy(EnemyKind::Chaser, 600, 100);
    TShockwave::create(TVector{400, 200}, 800, 1, 0, 0);
    EXPECT_EQ(chaser->particle->acceleration.length(), 0);
}

using BombWave = PlayWorldTest;

TEST_F(BombWave, BreaksUpEnemiesInReachWithoutScoreOrKills) {
    auto near = addTestEnemy(EnemyKind::Chaser, 500, 300);
    auto far = addTestEnemy(EnemyKind::Chaser, 900, 300);
    TShockwave::create(TVector{400, 300}, 800, 1, 0.016f, 0);
    runWaves(0.1f); // radius 130

    EXPECT_EQ(near->state, EnemyState::Dying);
    EXPECT_EQ(far->state, EnemyState::Active);
    EXPECT_EQ(game->sparks.size(), 30u);
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_EQ(craft().stats.kills[EnemyKind::Chaser], 0);
    EXPECT_EQ(craft().kills, 0);
    EXPECT_EQ(craft().multiplier, 1);
    EXPECT_TRUE(game->popups.empty());
}

TEST_F(BombWave, SparesEnteringEnemiesAndTheKillerAndBurstsNoSnake) {
    auto entering = addTestEnemy(EnemyKind::Chaser, 450, 300, EnemyState::Entering);
    auto killer = addTestEnemy(EnemyKind::Chaser, 450, 300, EnemyState::Frozen);
    killer->killedPlayer = 1;
    auto head = addTestEnemy(EnemyKind::Snake, 450, 300);
    head->isHead = 1;
    game->snakeCount = 1;
    TShockwave::create(TVector{400, 300}, 800, 1, 0.016f, 0);
    runWaves(0.1f);

    EXPECT_EQ(entering->state, EnemyState::Entering);
    EXPECT_EQ(killer->state, EnemyState::Frozen);
    EXPECT_EQ(head->state, EnemyState::Dying);
    EXPECT_TRUE(game->sparks.empty());
    EXPECT_EQ(game->snakeCount, 1); // only a hit takes a snake off the count
}

TEST_F(BombWave, AGravityWellWaveDestroysNothing) {
    auto near = addTestEnemy(EnemyKind::Chaser, 450, 300);
    TShockwave::create(TVector{400, 300}, 800, 0, 0.016f, 1);
    runWaves(0.1f);
    EXPECT_EQ(near->state, EnemyState::Active);
}

} // namespace
