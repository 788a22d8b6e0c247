#include "enemies/dasher.h"
#include "enemies/enemy_base_kit.h"
#include "enemies/gravity_well.h"
#include "enemies/snake.h"
#include "enemies/splinter.h"
#include "enemies/splitter.h"

#include "play/popup_text.h"
#include "play/shockwave.h"
#include "play/spark.h"

#include <vector>

namespace {

std::vector<std::string> popupTexts() {
    std::vector<std::string> texts;
    game->popups.forEach(
        [&](TPopupText& popup) { texts.push_back(popup.text + "@" + std::to_string(int(popup.y))); });
    return texts;
}

using EnemyHit = PlayWorldTest;

TEST_F(EnemyHit, ScoresTimesTheMultiplierCountsTheKillAndShowsARise) {
    craft().multiplier = 4;
    craft().kills = 200; // 4 becomes 5 at 200 kills, this one not yet counted
    auto dodger = addTestEnemy(EnemyKind::Dodger, 200, 150, EnemyState::Active, 32, 100);
    const int soundingBefore = effectsSounding();
    dodger->hit(true, 0.016f);

    EXPECT_EQ(dodger->state, EnemyState::Dying);
    EXPECT_EQ(craft().stats.score, 400); // earned before the rise
    EXPECT_EQ(craft().multiplier, 5);
    EXPECT_EQ(popupTexts(), (std::vector<std::string>{"400@150", "Multiplier X 5@175"}));
    EXPECT_EQ(effectsSounding(), soundingBefore + 1);
    EXPECT_EQ(craft().stats.kills[kindCode(EnemyKind::Dodger)], 1);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_EQ(craft().kills, 201);
    EXPECT_EQ(game->sparks.size(), 30u);
    EXPECT_EQ(game->sounds->explosionCursor, 1);
}

TEST_F(EnemyHit, AKillWithoutScoreStillCountsAndADyingEnemyIsNeverCountedTwice) {
    craft().kills = 25;
    auto chaser = addTestEnemy(EnemyKind::Chaser, 200, 150);
    chaser->hit(false, 0.016f);
    chaser->hit(true, 0.016f);
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_TRUE(game->popups.empty());
    EXPECT_EQ(craft().multiplier, 1);
    EXPECT_EQ(craft().stats.kills[kindCode(EnemyKind::Chaser)], 1);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_EQ(craft().kills, 26);
    EXPECT_EQ(game->sparks.size(), 30u);
}

TEST_F(EnemyHit, ASplitterFlingsThreeSplintersAwayFromTheCraftEachHarder) {
    auto splitter = addKindEnemy<TSplitter>(400, 200); // 100 above the craft
    auto onCraft = addKindEnemy<TSplitter>(400, 300);
    splitter->hit(true, 0.016f);
    onCraft->hit(true, 0.016f);

    std::vector<TSplinter*> splinters;
    game->enemies.forEach([&](TEnemy& e) {
        if (e.kind() == EnemyKind::Splinter) splinters.push_back(dynamic_cast<TSplinter*>(&e));
    });
    ASSERT_EQ(splinters.size(), 6u);
    const float pushes[3] = {9000, 18000, 32000};
    const float spins[3] = {8, -8, -10};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(splinters[i]->particle->acceleration.x, 0, 1e-2) << i;
        EXPECT_NEAR(splinters[i]->particle->acceleration.y, -pushes[i], 0.1) << i;
        EXPECT_FLOAT_EQ(splinters[i]->spin, spins[i]) << i;
        EXPECT_FLOAT_EQ(splinters[i]->particle->position.y, 200) << i;
        EXPECT_TRUE(isFinite(splinters[i + 3]->particle->acceleration)) << i;
    }
}

TEST_F(EnemyHit, AWellWakesThenLosesHitPointsThenBurstsAndScores) {
    auto well = addKindEnemy<TGravityWell>(400, 200, EnemyState::Active, 40, 150);
    well->hitPoints = 2;
    well->pulseSpeed = 1.0f;

    well->hit(true, 0.016f); // wakes: a wave that pushes the craft and counts as a hit, nothing else
    EXPECT_EQ(well->state, TGravityWell::Sucking);
    ASSERT_EQ(game->shockwaves.size(), 1u);
    EXPECT_EQ(game->shockwaves.first()->destroysEnemies, 0);
    EXPECT_GT(craft().particle->acceleration.y, 0);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_TRUE(game->sparks.empty());

    well->hit(true, 0.016f); // 21 white sparks and a faster pulse
    EXPECT_EQ(well->hitPoints, 1);
    EXPECT_EQ(game->sparks.size(), 21u);
    EXPECT_EQ(game->sparks.first()->blue, 255);
    EXPECT_FLOAT_EQ(well->pulseSpeed, 1.2f);
    EXPECT_EQ(craft().stats.score, 0);

    well->hit(true, 0.016f); // the last point: off the lists, a second wave, scored like any kill
    EXPECT_EQ(well->state, EnemyState::Dying);
    EXPECT_FALSE(game->enemies.contains(well.get()));
    EXPECT_FALSE(game->particles.contains(well->particle.get()));
    EXPECT_EQ(game->shockwaves.size(), 2u);
    EXPECT_EQ(craft().stats.score, 150);
    EXPECT_EQ(craft().stats.kills[kindCode(EnemyKind::GravityWell)], 1);
    EXPECT_EQ(game->sparks.size(), 21u + 21u + 30u);
}

TEST_F(EnemyHit, ADasherTakesItsShieldAlongAndTheShieldAloneCannotDie) {
    auto shield = addKindEnemy<TDasherShield>(430, 200, EnemyState::Active, 24, 0);
    auto dasher = addKindEnemy<TDasher>(400, 200, TDasher::Aiming, 24, 150);
    dasher->shield = shield;
    shield->hit(true, 0.016f);
    EXPECT_EQ(shield->state, EnemyState::Active);
    EXPECT_EQ(craft().stats.shotsHit, 0);
    dasher->hit(true, 0.016f);
    EXPECT_FALSE(game->enemies.contains(shield.get()));
    EXPECT_EQ(craft().stats.score, 150);
}

TEST_F(EnemyHit, OnlyASnakeHeadCountsOffTheSnakes) {
    auto segment = addKindEnemy<TSnake>(380, 200, EnemyState::Active, 16, 0);
    auto head = addKindEnemy<TSnake>(400, 200, EnemyState::Active, 24, 150);
    head->isHead = true;
    game->snakeCount = 2;
    segment->hit(true, 0.016f);
    EXPECT_EQ(game->snakeCount, 2);
    EXPECT_EQ(craft().stats.shotsHit, 0);
    head->hit(true, 0.016f);
    EXPECT_EQ(game->snakeCount, 1);
    EXPECT_EQ(craft().stats.score, 150);
}

} // namespace
