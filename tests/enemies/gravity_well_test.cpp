#include "enemies/chaser.h"
#include "enemies/dasher.h"
#include "enemies/enemy_kinds_kit.h"
#include "enemies/gravity_well.h"
#include "enemies/level_director.h"
#include "enemies/well_child.h"

#include <cmath>

namespace {

class GravityWell : public EnemyKindTest {
protected:
    // An awake well well away from the craft (more than 400), so the craft feels nothing of it.
    static std::shared_ptr<TGravityWell> suckingWell(float x, float y) {
        auto well = TGravityWell::create(x, y);
        well->state = TGravityWell::Sucking;
        return well;
    }
};

TEST_F(GravityWell, HitPointsAreTheLevelAtItsCreationPlusEight) {
    game->levelDirector->reset(); // a run's first level
    EXPECT_EQ(TGravityWell::create(100, 100)->hitPoints, 9);
    game->levelDirector->level = 4;
    EXPECT_EQ(TGravityWell::create(100, 100)->hitPoints, 12);
    game->levelDirector->level = 20;
    EXPECT_EQ(TGravityWell::create(100, 100)->hitPoints, 28);
}

TEST_F(GravityWell, SwallowsEnemiesWithinFiftyForHalfTheirPointsButOnlyWakesAnotherWell) {
    auto well = suckingWell(100, 0);
    auto chaser = TChaser::create(130, 0); // 50 points
    chaser->state = EnemyState::Active;
    auto dormant = TGravityWell::create(100, 30);
    dormant->state = EnemyState::Active;
    auto awake = suckingWell(100, -40);
    const float pulseBefore = std::fabs(well->pulseSpeed);
    runOnce(*well, 0.016f);

    EXPECT_EQ(chaser->state, EnemyState::Dying);
    EXPECT_EQ(well->points, 150 + 25);
    EXPECT_EQ(well->absorbLeft, 14);
    EXPECT_FLOAT_EQ(std::fabs(well->pulseSpeed), pulseBefore * 1.025f);
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_EQ(craft().stats.kills[kindCode(EnemyKind::Chaser)], 1);
    // Wells are never swallowed: the dormant one is woken, the awake one not even hit.
    EXPECT_EQ(dormant->state, TGravityWell::Sucking);
    EXPECT_EQ(awake->hitPoints, 9);
    EXPECT_EQ(craft().stats.kills[kindCode(EnemyKind::GravityWell)], 0);

    runOnce(*well, 0.016f); // the dying chaser is not swallowed twice
    EXPECT_EQ(well->absorbLeft, 14);
}

TEST_F(GravityWell, ADasherShieldBesideItOverloadsItAfterFourteenUpdates) {
    auto well = suckingWell(200, 100);
    auto shield = TDasherShield::create();
    shield->particle->position.set(220, 100);
    for (int update = 1; update <= 13; ++update) {
        runOnce(*well, 0.016f);
        ASSERT_EQ(well->absorbLeft, 15 - update);
    }
    EXPECT_TRUE(game->enemies.contains(well.get()));
    EXPECT_TRUE(enemiesOfKind<TWellChild>(EnemyKind::WellChild).empty());

    // The fourteenth: the spark's three draws, then each child's offsets, y before x.
    seedRandom(4242);
    randomInteger(0, 359);
    randomInteger(190, 200);
    randomReal(100, 150);
    const auto firstDy = static_cast<float>(randomReal(-50, 50));
    const auto firstDx = static_cast<float>(randomReal(-50, 50));
    seedRandom(4242);
    runOnce(*well, 0.016f);

    const auto children = enemiesOfKind<TWellChild>(EnemyKind::WellChild);
    ASSERT_EQ(children.size(), 15u);
    EXPECT_FLOAT_EQ(children[0]->particle->position.x, 200 + firstDx);
    EXPECT_FLOAT_EQ(children[0]->particle->position.y, 100 + firstDy);
    for (const TWellChild* child : children)
        EXPECT_EQ(child->state, EnemyState::Active); // not swallowed by the well that made them
    EXPECT_FALSE(game->enemies.contains(well.get()));
    EXPECT_FALSE(game->particles.contains(well->particle.get()));
    EXPECT_EQ(craft().stats.score, 0);
    EXPECT_EQ(craft().stats.kills[kindCode(EnemyKind::GravityWell)], 1);
    EXPECT_TRUE(game->enemies.contains(shield.get()));
}

} // namespace
