#include "enemies/enemy_base_kit.h"

#include "play/shockwave.h"
#include "play/spark.h"

namespace {

using CraftContact = PlayWorldTest;

TEST_F(CraftContact, DestroysTheCraftInOrder) {
    auto entering = addTestEnemy(EnemyKind::Wanderer, 100, 100, EnemyState::Entering);
    auto killer = addTestEnemy(EnemyKind::Chaser, 410, 300);
    auto bystander = addTestEnemy(EnemyKind::Chaser, 700, 500);
    const int explosionsBefore = game->sounds->explosionCursor;
    killer->checkPlayerCollision(0);

    EXPECT_EQ(craft().lives, 2);
    EXPECT_EQ(craft().shape->visible, 0);
    EXPECT_EQ(entering->state, EnemyState::Dying);
    EXPECT_EQ(bystander->state, EnemyState::Dying);
    EXPECT_EQ(killer->state, EnemyState::Frozen);
    EXPECT_EQ(killer->killedPlayer, 1);
    EXPECT_EQ(game->state, GameState::LifeLost);
    EXPECT_FLOAT_EQ(game->deathTime, 1.5f);
    EXPECT_EQ(game->sparks.size(), 80u);
    EXPECT_EQ(game->sounds->explosionCursor, (explosionsBefore + 1) % 5);
    EXPECT_EQ(craft().stats.score, 0);

    ASSERT_EQ(game->shockwaves.size(), 1u);
    const auto wave = game->shockwaves.first();
    EXPECT_EQ(wave->destroysEnemies, 1);
    EXPECT_FLOAT_EQ(wave->maxRadius, 800);
    EXPECT_FLOAT_EQ(wave->particle->position.x, 400);
    // Made with no frame time, the death wave shoves nothing.
    EXPECT_EQ(bystander->particle->acceleration.length(), 0);
}

TEST_F(CraftContact, TheKillerStandsStillAndBlinksEveryFiftiethOfASecondOfUpdates) {
    auto killer = addTestEnemy(EnemyKind::Chaser, 410, 300);
    killer->checkPlayerCollision(0);
    killer->particle->velocity.set(30, 30);

    killer->updateFrozen(0.02f); // the blink timer starts spent
    EXPECT_EQ(killer->shape->visible, 0);
    EXPECT_EQ(killer->particle->velocity.length(), 0);
    killer->updateFrozen(0.02f);
    killer->updateFrozen(0.02f);
    EXPECT_EQ(killer->shape->visible, 0);
    killer->updateFrozen(0.02f);
    EXPECT_EQ(killer->shape->visible, 1);
    EXPECT_EQ(killer->state, EnemyState::Frozen);
}

TEST_F(CraftContact, AShieldedCraftBreaksTheEnemyForNothing) {
    craft().shieldOn = 1;
    auto chaser = addTestEnemy(EnemyKind::Chaser, 410, 300);
    const int explosionsBefore = game->sounds->explosionCursor;
    const int soundingBefore = effectsSounding();
    chaser->checkPlayerCollision(0);

    EXPECT_EQ(chaser->state, EnemyState::Dying);
    EXPECT_EQ(craft().lives, 3);
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_EQ(craft().stats.kills[EnemyKind::Chaser], 0);
    EXPECT_TRUE(game->sparks.empty());
    EXPECT_EQ(game->sounds->explosionCursor, explosionsBefore);
    EXPECT_EQ(effectsSounding(), soundingBefore);
    EXPECT_EQ(game->state, GameState::Play);
}

TEST_F(CraftContact, NeedsToBeCloserThanTheRadiusAndNotDyingOrFrozen) {
    auto edge = addTestEnemy(EnemyKind::Chaser, 432, 300);
    edge->checkPlayerCollision(0);
    auto dying = addTestEnemy(EnemyKind::Chaser, 400, 300, EnemyState::Dying);
    dying->checkPlayerCollision(0);
    EXPECT_EQ(craft().lives, 3);
    EXPECT_EQ(game->state, GameState::Play);
}

using EnemyLifeCycle = PlayWorldTest;

TEST_F(EnemyLifeCycle, EntryPulsesThenTurnsActiveAtFullSize) {
    auto enemy = addTestEnemy(EnemyKind::Wanderer, 100, 100, EnemyState::Entering);
    enemy->updateEntry(0.05f);
    EXPECT_FLOAT_EQ(enemy->shape->scale, 1.25f);
    enemy->updateEntry(0.05f); // past 1.5: starts over from half size
    EXPECT_FLOAT_EQ(enemy->shape->scale, 0.5f);
    EXPECT_EQ(enemy->state, EnemyState::Entering);
    for (int i = 0; i < 5; ++i)
        enemy->updateEntry(0.05f);
    EXPECT_EQ(enemy->state, EnemyState::Active);
    EXPECT_FLOAT_EQ(enemy->shape->scale, 1.0f);
}

TEST_F(EnemyLifeCycle, TheSkeletonThinksOnEverySecondFrameOnly) {
    // 0.3 s of entry at 0.04 s a thinking frame takes eight of them, so sixteen updates.
    auto enemy = addTestEnemy(EnemyKind::Wanderer, 100, 100, EnemyState::Entering);
    int updates = 0;
    while (enemy->state == EnemyState::Entering && updates < 100) {
        enemy->update(0.04f);
        ++updates;
    }
    EXPECT_EQ(updates, 16);
    EXPECT_EQ(enemy->entryEnds, 1);
    EXPECT_EQ(enemy->activeSteps, 0);
    enemy->update(0.04f);
    EXPECT_EQ(enemy->activeSteps, 0);
    enemy->update(0.04f);
    EXPECT_EQ(enemy->activeSteps, 1);
}

TEST_F(EnemyLifeCycle, DyingLinesSlideBackAndFadeUntilTheEnemyLeavesTheLists) {
    auto enemy = addTestEnemy(EnemyKind::Chaser, 100, 100, EnemyState::Dying);
    enemy->updateDying(0.01f);
    const TShapeLine& line = enemy->shape->drawnLines[0]; // (-10, 0) to (10, 0)
    EXPECT_FLOAT_EQ(line.start.x, -12);
    EXPECT_FLOAT_EQ(line.end.x, 8);
    EXPECT_FLOAT_EQ(line.alpha, 0.9f);
    EXPECT_TRUE(game->enemies.contains(enemy.get()));

    for (int i = 0; i < 23; ++i)
        enemy->updateDying(0.01f);
    EXPECT_TRUE(game->enemies.contains(enemy.get()));
    enemy->updateDying(0.02f);
    EXPECT_FALSE(game->enemies.contains(enemy.get()));
    EXPECT_FALSE(game->particles.contains(enemy->particle.get()));
}

using EnemySteering = PlayWorldTest;

TEST_F(EnemySteering, SeeksTheCraftAndStaysStillWhenOnIt) {
    auto enemy = addTestEnemy(EnemyKind::Chaser, 400, 200);
    enemy->seekPlayer(900);
    EXPECT_FLOAT_EQ(enemy->particle->acceleration.y, 900);
    auto onTop = addTestEnemy(EnemyKind::Chaser, 400, 300);
    onTop->seekPlayer(900);
    EXPECT_TRUE(isFinite(onTop->particle->acceleration));
    EXPECT_EQ(onTop->particle->acceleration.length(), 0);
}

TEST_F(EnemySteering, SeparationSplitsTheOverlapEvenlyBetweenSameKinds) {
    auto a = addTestEnemy(EnemyKind::Chaser, 100, 100, EnemyState::Active, 50);
    auto b = addTestEnemy(EnemyKind::Chaser, 118, 124, EnemyState::Active, 50); // 30 apart
    auto other = addTestEnemy(EnemyKind::Swarmer, 110, 110, EnemyState::Active, 50);
    a->separate();
    // f = (30 - 50) / 30; each moves by a third of (18, 24) outwards: 20 of the 50 between them.
    EXPECT_FLOAT_EQ(a->particle->position.x, 94);
    EXPECT_FLOAT_EQ(a->particle->position.y, 92);
    EXPECT_FLOAT_EQ(b->particle->position.x, 124);
    EXPECT_FLOAT_EQ(b->particle->position.y, 132);
    EXPECT_FLOAT_EQ(other->particle->position.x, 110);
}

TEST_F(EnemySteering, SeparationLeavesPairsOnOneAxisOrOneSpotAlone) {
    auto a = addTestEnemy(EnemyKind::Chaser, 100, 100);
    auto sameX = addTestEnemy(EnemyKind::Chaser, 100, 110);
    auto sameY = addTestEnemy(EnemyKind::Chaser, 110, 100);
    auto sameSpot = addTestEnemy(EnemyKind::Chaser, 100, 100);
    a->separate();
    EXPECT_FLOAT_EQ(a->particle->position.x, 100);
    EXPECT_FLOAT_EQ(a->particle->position.y, 100);
    EXPECT_FLOAT_EQ(sameX->particle->position.y, 110);
    EXPECT_FLOAT_EQ(sameY->particle->position.x, 110);
    EXPECT_TRUE(isFinite(sameSpot->particle->position));
}

} // namespace
