#include "enemies/enemy_base_kit.h"
#include "enemies/splinter.h"

#include "play/popup_text.h"
#include "play/shockwave.h"
#include "play/spark.h"

#include <vector>

namespace {

std::vector<std::string> popupTexts() {
    std::vector<std::string> texts;
    game->popups.forEach([&](TPopupText& popup) { texts.push_back(popup.text); });
    return texts;
}

using EnemyHit = PlayWorldTest;

TEST_F(EnemyHit, ScoresPointsTimesTheMultiplierAndCountsTheKill) {
    craft().multiplier = 4;
    craft().kills = 100; // the next rise is at 200
    auto dodger = addTestEnemy(EnemyKind::Dodger, 200, 150, EnemyState::Active, 32, 100);
    const int explosionsBefore = game->sounds->explosionCursor;
    dodger->hit(1, 0.016f);

    EXPECT_EQ(dodger->state, EnemyState::Dying);
    EXPECT_EQ(craft().stats.score, 400);
    EXPECT_EQ(craft().stats.kills[EnemyKind::Dodger], 1);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_EQ(craft().kills, 101);
    EXPECT_EQ(popupTexts(), std::vector<std::string>{"400"});
    EXPECT_EQ(game->sparks.size(), 30u);
    EXPECT_EQ(game->sounds->explosionCursor, (explosionsBefore + 1) % 5);
}

TEST_F(EnemyHit, RaisingTheMultiplierShowsItTwentyFiveLowerWithItsSound) {
    craft().kills = 25;
    auto chaser = addTestEnemy(EnemyKind::Chaser, 200, 150, EnemyState::Active, 32, 50);
    const int soundingBefore = effectsSounding();
    chaser->hit(1, 0.016f);

    EXPECT_EQ(craft().multiplier, 2);
    EXPECT_EQ(craft().stats.score, 50); // earned before the rise
    EXPECT_EQ(popupTexts(), (std::vector<std::string>{"50", "Multiplier X 2"}));
    EXPECT_FLOAT_EQ(game->popups.first()->y, 150);
    float secondY = 0;
    game->popups.forEach([&](TPopupText& popup) { secondY = popup.y; });
    EXPECT_FLOAT_EQ(secondY, 175);
    EXPECT_EQ(effectsSounding(), soundingBefore + 1);
}

TEST_F(EnemyHit, AKillWithoutScoreStillCountsAndFeedsTheMultiplier) {
    craft().kills = 25;
    auto chaser = addTestEnemy(EnemyKind::Chaser, 200, 150);
    chaser->hit(0, 0.016f);
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_TRUE(game->popups.empty());
    EXPECT_EQ(craft().multiplier, 1);
    EXPECT_EQ(craft().stats.kills[EnemyKind::Chaser], 1);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_EQ(craft().kills, 26);
    EXPECT_EQ(chaser->state, EnemyState::Dying);
}

TEST_F(EnemyHit, ADyingEnemyIsNeverScoredTwice) {
    auto chaser = addTestEnemy(EnemyKind::Chaser, 200, 150);
    chaser->hit(1, 0.016f);
    chaser->hit(1, 0.016f);
    chaser->hit(0, 0.016f);
    EXPECT_EQ(craft().stats.score, 100);
    EXPECT_EQ(craft().stats.kills[EnemyKind::Chaser], 1);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_EQ(game->sparks.size(), 30u);
}

using EnemyHitByKind = PlayWorldTest;

TEST_F(EnemyHitByKind, ASplitterFlingsThreeSplintersAwayFromTheCraftEachHarder) {
    game->enemyShape3 = testOutline();
    auto splitter = addTestEnemy(EnemyKind::Splitter, 400, 200); // the craft is 100 below
    splitter->hit(1, 0.016f);

    std::vector<TSplinter*> splinters;
    game->enemies.forEach([&](TEnemy& e) {
        if (e.kind() == EnemyKind::Splinter) splinters.push_back(dynamic_cast<TSplinter*>(&e));
    });
    ASSERT_EQ(splinters.size(), 3u);
    const float pushes[3] = {9000, 18000, 32000};
    const float spins[3] = {8, -8, -10};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(splinters[i]->particle->acceleration.x, 0, 1e-2) << i;
        EXPECT_NEAR(splinters[i]->particle->acceleration.y, -pushes[i], 1e-1) << i;
        EXPECT_FLOAT_EQ(splinters[i]->spin, spins[i]) << i;
        EXPECT_FLOAT_EQ(splinters[i]->particle->position.y, 200) << i;
    }
    EXPECT_EQ(craft().stats.kills[EnemyKind::Splitter], 1);
}

TEST_F(EnemyHitByKind, ASplitterOnTheCraftItselfSplitsWithoutNaN) {
    game->enemyShape3 = testOutline();
    auto splitter = addTestEnemy(EnemyKind::Splitter, 400, 300);
    splitter->hit(1, 0.016f);
    int splinters = 0;
    game->enemies.forEach([&](TEnemy& e) {
        if (e.kind() != EnemyKind::Splinter) return;
        ++splinters;
        EXPECT_TRUE(isFinite(e.particle->acceleration));
    });
    EXPECT_EQ(splinters, 3);
}

TEST_F(EnemyHitByKind, AWellWakesThenLosesHitPointsThenBurstsAndScores) {
    auto well = addTestEnemy(EnemyKind::GravityWell, 400, 200, EnemyState::Active, 40, 150);
    well->hitPoints = 2;
    well->pulseSpeed = 1.0f;

    well->hit(1, 0.016f); // wakes: a wave that pushes the craft, a hit on the record, nothing else
    EXPECT_EQ(well->state, EnemyState::Sucking);
    ASSERT_EQ(game->shockwaves.size(), 1u);
    EXPECT_EQ(game->shockwaves.first()->destroysEnemies, 0);
    EXPECT_GT(craft().particle->acceleration.y, 0);
    EXPECT_EQ(craft().stats.shotsHit, 1);
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_TRUE(game->sparks.empty());

    well->hit(1, 0.016f); // one hit point gone, 21 white sparks, faster pulse
    EXPECT_EQ(well->hitPoints, 1);
    EXPECT_EQ(well->state, EnemyState::Sucking);
    EXPECT_EQ(game->sparks.size(), 21u);
    EXPECT_EQ(game->sparks.first()->red, 255);
    EXPECT_FLOAT_EQ(well->pulseSpeed, 1.2f);
    EXPECT_EQ(craft().stats.score, 0);

    well->hit(1, 0.016f); // the last one: off the lists, scored like any kill
    EXPECT_EQ(well->state, EnemyState::Dying);
    EXPECT_FALSE(game->enemies.contains(well.get()));
    EXPECT_FALSE(game->particles.contains(well->particle.get()));
    EXPECT_EQ(game->shockwaves.size(), 2u);
    EXPECT_EQ(craft().stats.score, 150);
    EXPECT_EQ(craft().stats.kills[EnemyKind::GravityWell], 1);
    EXPECT_EQ(craft().stats.shotsHit, 2);
    EXPECT_EQ(game->sparks.size(), 21u + 21u + 30u);
}

TEST_F(EnemyHitByKind, AnOverloadedWellEndsThroughItsOwnHitWithoutScore) {
    auto well = addTestEnemy(EnemyKind::GravityWell, 400, 200, EnemyState::Sucking, 40, 150);
    well->hitPoints = 0; // what the overload sets before hitting itself
    well->hit(0, 0.016f);
    EXPECT_EQ(well->state, EnemyState::Dying);
    EXPECT_FALSE(game->enemies.contains(well.get()));
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_EQ(craft().stats.kills[EnemyKind::GravityWell], 1);
}

TEST_F(EnemyHitByKind, ADasherTakesItsShieldAlongAndTheShieldAloneCannotDie) {
    auto shield = addTestEnemy(EnemyKind::DasherShield, 430, 200, EnemyState::Active, 24, 0);
    auto dasher = addTestEnemy(EnemyKind::Dasher, 400, 200, EnemyState::Aiming, 24, 150);
    dasher->companion = shield;

    shield->hit(1, 0.016f);
    EXPECT_EQ(shield->state, EnemyState::Active);
    EXPECT_TRUE(game->enemies.contains(shield.get()));
    EXPECT_EQ(craft().stats.shotsHit, 0);
    EXPECT_TRUE(game->sparks.empty());

    dasher->hit(1, 0.016f);
    EXPECT_FALSE(game->enemies.contains(shield.get()));
    EXPECT_EQ(dasher->state, EnemyState::Dying);
    EXPECT_EQ(craft().stats.score, 150);
}

TEST_F(EnemyHitByKind, OnlyASnakeHeadCountsOffTheSnakes) {
    auto segment = addTestEnemy(EnemyKind::Snake, 380, 200, EnemyState::Active, 16, 0);
    auto head = addTestEnemy(EnemyKind::Snake, 400, 200, EnemyState::Active, 24, 150);
    head->isHead = 1;
    game->snakeCount = 2;

    segment->hit(1, 0.016f);
    EXPECT_EQ(game->snakeCount, 2);
    EXPECT_EQ(segment->state, EnemyState::Active);
    EXPECT_EQ(craft().stats.shotsHit, 0);

    head->hit(1, 0.016f);
    EXPECT_EQ(game->snakeCount, 1);
    EXPECT_EQ(craft().stats.kills[EnemyKind::Snake], 1);
    EXPECT_EQ(craft().stats.score, 150);
}

} // namespace
