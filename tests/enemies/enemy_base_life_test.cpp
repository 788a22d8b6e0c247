#include "enemies/enemy_base_kit.h"

#include "play/shockwave.h"

namespace {

using EnemyLife = PlayWorldTest;

TEST_F(EnemyLife, TouchingTheCraftDestroysItAndFreezesTheKiller) {
    auto entering = addTestEnemy(EnemyKind::Wanderer, 100, 100, EnemyState::Entering);
    auto killer = addTestEnemy(EnemyKind::Chaser, 410, 300);
    auto bystander = addTestEnemy(EnemyKind::Chaser, 700, 500);
    killer->checkPlayerCollision(0);

    EXPECT_EQ(craft().lives, 2);
    EXPECT_EQ(craft().shape->visible, 0);
    EXPECT_EQ(entering->state, EnemyState::Dying);
    EXPECT_EQ(bystander->state, EnemyState::Dying);
    EXPECT_EQ(killer->state, EnemyState::Frozen);
    EXPECT_TRUE(killer->killedPlayer);
    EXPECT_EQ(game->state, GameState::LifeLost);
    EXPECT_FLOAT_EQ(game->deathTime, 1.5f);
    EXPECT_EQ(game->sparks.size(), 80u);
    EXPECT_EQ(game->sounds->explosionCursor, 1);
    ASSERT_EQ(game->shockwaves.size(), 1u);
    EXPECT_EQ(game->shockwaves.first()->destroysEnemies, 1);
    EXPECT_EQ(bystander->particle->acceleration.length(), 0); // no frame time given, no shove

    // The killer stands still and blinks every 0.05 s of update time, starting at once.
    killer->particle->velocity.set(30, 30);
    const int blinks[] = {0, 0, 0, 1, 1, 1, 0};
    for (int expected : blinks) {
        killer->updateFrozen(0.02f);
        EXPECT_EQ(killer->shape->visible, expected);
    }
    EXPECT_EQ(killer->particle->velocity.length(), 0);
}

TEST_F(EnemyLife, AShieldedCraftBreaksTheEnemyForNothing) {
    craft().shieldOn = 1;
    auto chaser = addTestEnemy(EnemyKind::Chaser, 410, 300);
    const int soundingBefore = effectsSounding();
    chaser->checkPlayerCollision(0);
    EXPECT_EQ(chaser->state, EnemyState::Dying);
    EXPECT_EQ(craft().lives, 3);
    EXPECT_EQ(craft().stats.score + craft().stats.kills[kindCode(EnemyKind::Chaser)], 0);
    EXPECT_TRUE(game->sparks.empty());
    EXPECT_EQ(game->sounds->explosionCursor, 0);
    EXPECT_EQ(effectsSounding(), soundingBefore);
    EXPECT_EQ(game->state, GameState::Play);
}

TEST_F(EnemyLife, TheSkeletonThinksOnEverySecondFrameAndEntryEndsAtFullSize) {
    // 0.3 s of entry at 0.04 s a thinking frame takes eight of them, so sixteen updates.
    auto enemy = addTestEnemy(EnemyKind::Wanderer, 100, 100, EnemyState::Entering);
    int updates = 0;
    while (enemy->state == EnemyState::Entering && updates < 100) {
        enemy->update(0.04f);
        ++updates;
    }
    EXPECT_EQ(updates, 16);
    EXPECT_EQ(enemy->entryEnds, 1);
    EXPECT_FLOAT_EQ(enemy->shape->scale, 1.0f);
    enemy->update(0.04f);
    enemy->update(0.04f);
    EXPECT_EQ(enemy->activeSteps, 1);
}

TEST_F(EnemyLife, DyingLinesSlideBackAndFadeUntilTheEnemyLeavesTheLists) {
    auto enemy = addTestEnemy(EnemyKind::Chaser, 100, 100, EnemyState::Dying);
    enemy->updateDying(0.01f);
    const TShapeLine& line = enemy->shape->drawnLines[0]; // (-10, 0) to (10, 0)
    EXPECT_FLOAT_EQ(line.start.x, -12);
    EXPECT_FLOAT_EQ(line.end.x, 8);
    EXPECT_FLOAT_EQ(line.alpha, 0.9f);
    for (int i = 0; i < 23; ++i)
        enemy->updateDying(0.01f);
    EXPECT_TRUE(game->enemies.contains(enemy.get()));
    enemy->updateDying(0.02f);
    EXPECT_FALSE(game->enemies.contains(enemy.get()));
    EXPECT_FALSE(game->particles.contains(enemy->particle.get()));
}

TEST_F(EnemyLife, SeparationSplitsTheOverlapEvenlyAndSkipsAxisAlignedPairs) {
    auto a = addTestEnemy(EnemyKind::Chaser, 100, 100, EnemyState::Active, 50);
    auto b = addTestEnemy(EnemyKind::Chaser, 118, 124, EnemyState::Active, 50); // 30 apart
    auto otherKind = addTestEnemy(EnemyKind::Swarmer, 110, 110, EnemyState::Active, 50);
    auto c = addTestEnemy(EnemyKind::Wanderer, 300, 300, EnemyState::Active, 50);
    auto sameX = addTestEnemy(EnemyKind::Wanderer, 300, 310, EnemyState::Active, 50);
    auto sameSpot = addTestEnemy(EnemyKind::Wanderer, 300, 300, EnemyState::Active, 50);
    a->separate();
    c->separate();
    // Each moves a third of (18, 24) outwards, opening the 30 to the 50 of the radius.
    EXPECT_FLOAT_EQ(a->particle->position.x, 94);
    EXPECT_FLOAT_EQ(a->particle->position.y, 92);
    EXPECT_FLOAT_EQ(b->particle->position.x, 124);
    EXPECT_FLOAT_EQ(b->particle->position.y, 132);
    EXPECT_FLOAT_EQ(otherKind->particle->position.x, 110);
    EXPECT_FLOAT_EQ(c->particle->position.y, 300);
    EXPECT_FLOAT_EQ(sameX->particle->position.y, 310);
    EXPECT_FLOAT_EQ(sameSpot->particle->position.x, 300);
}

TEST_F(EnemyLife, SeekingTheCraftFromOnTopOfItAddsNothing) {
    auto onTop = addTestEnemy(EnemyKind::Chaser, 400, 300);
    onTop->seekPlayer(900);
    EXPECT_TRUE(isFinite(onTop->particle->acceleration));
    EXPECT_EQ(onTop->particle->acceleration.length(), 0);
}

} // namespace
