#include "enemies/enemy_base_kit.h"
#include "enemies/snake.h"

#include "play/shockwave.h"
#include "play/spark.h"

namespace {

void runWaves(float dt) {
    game->shockwaves.forEach([&](TShockwave& wave) { wave.update(dt); });
}

using Shockwave = PlayWorldTest;

TEST_F(Shockwave, GrowsAt1300AndFreesTheBombOnlyWhenItsOwnWavePasses800) {
    auto bomb = TShockwave::create(craft().particle->position, 800, 1, 0.016f, 0);
    auto other = TShockwave::create(TVector{100, 100}, 100, 0, 0.016f, 0);
    craft().activeBomb = bomb;
    runWaves(0.1f);
    EXPECT_NEAR(bomb->radius, 130, 1e-3);
    EXPECT_NEAR(bomb->alpha, 0.8f, 1e-5);
    EXPECT_FALSE(game->shockwaves.contains(other.get()));
    EXPECT_EQ(craft().activeBomb, bomb);
    for (int i = 0; i < 5; ++i)
        runWaves(0.1f); // 780
    EXPECT_EQ(craft().activeBomb, bomb);
    runWaves(0.02f);
    EXPECT_EQ(craft().activeBomb, nullptr);
    EXPECT_TRUE(game->shockwaves.empty());
}

TEST_F(Shockwave, ShovesSparksEnemiesAndTheCraftOutwardsButNotWellsSnakesOrTheKiller) {
    TSpark::create(TVector{400, 100}, {},
                   {.red = 255, .green = 255, .blue = 255, .life = 1, .damping = 0.95f});
    auto chaser = addTestEnemy(EnemyKind::Chaser, 600, 100);
    auto well = addTestEnemy(EnemyKind::GravityWell, 500, 200);
    auto snake = addTestEnemy(EnemyKind::Snake, 500, 200);
    auto killer = addTestEnemy(EnemyKind::Chaser, 500, 200, EnemyState::Frozen);
    killer->killedPlayer = true;
    TShockwave::create(TVector{400, 200}, 800, 0, 0.01f, 1);

    EXPECT_NEAR(game->sparks.first()->particle.acceleration.y, -14000, 0.1);
    EXPECT_NEAR(chaser->particle->acceleration.length(), 4000, 0.1);
    EXPECT_GT(chaser->particle->acceleration.x, 0);
    EXPECT_NEAR(craft().particle->acceleration.y, 4000, 0.1);
    for (auto* enemy : {well.get(), snake.get(), killer.get()})
        EXPECT_EQ(enemy->particle->acceleration.length(), 0) << enemy->kind();
}

TEST_F(Shockwave, LeavesWhatIsExactlyOnItsCentreWithoutNaN) {
    auto chaser = addTestEnemy(EnemyKind::Chaser, 400, 300);
    TShockwave::create(TVector{400, 300}, 800, 0, 0.01f, 1);
    EXPECT_TRUE(isFinite(chaser->particle->acceleration));
    EXPECT_TRUE(isFinite(craft().particle->acceleration));
}

TEST_F(Shockwave, ABombBreaksUpActiveEnemiesInReachForNothing) {
    auto near = addTestEnemy(EnemyKind::Chaser, 500, 300);
    auto far = addTestEnemy(EnemyKind::Chaser, 900, 300);
    auto entering = addTestEnemy(EnemyKind::Chaser, 450, 300, EnemyState::Entering);
    auto head = addKindEnemy<TSnake>(450, 300);
    head->isHead = true;
    game->snakeCount = 1;
    craft().kills = 24;
    TShockwave::create(TVector{400, 300}, 800, 1, 0.016f, 0);
    runWaves(0.1f);

    EXPECT_EQ(near->state, EnemyState::Dying);
    EXPECT_EQ(head->state, EnemyState::Dying);
    EXPECT_EQ(far->state, EnemyState::Active);
    EXPECT_EQ(entering->state, EnemyState::Entering);
    EXPECT_EQ(game->sparks.size(), 30u); // the snake pops with bursts of its own
    EXPECT_EQ(game->snakeCount, 1);
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_EQ(craft().stats.kills[kindCode(EnemyKind::Chaser)], 0);
    EXPECT_EQ(craft().kills, 24);
    EXPECT_TRUE(game->popups.empty());
}

} // namespace
