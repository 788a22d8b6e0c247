#include "enemies/dasher.h"
#include "enemies/enemy_kinds_kit.h"
#include "play/shockwave.h"
#include "play/shot.h"

namespace {

class Dasher : public EnemyKindTest {
protected:
    // Aiming from 2000 straight below the craft; after its next turn of 8 its dash direction
    // (-heading.y, -heading.x) points offDegrees away from the craft.
    static std::shared_ptr<TDasher> aimingDasher(float offDegrees) {
        auto dasher = TDasher::create(400, 2300);
        dasher->state = TDasher::Aiming;
        dasher->turn = 8;
        dasher->shape->heading.set(1, 0);
        dasher->shape->heading.rotate(offDegrees - 8);
        return dasher;
    }
    static TEnemy& shieldOf(const TDasher& dasher) { return *dasher.shield; }
};

TEST_F(Dasher, ItsShieldJoinsTheEnemiesFirstHiddenAndOutsideTheParticles) {
    auto dasher = TDasher::create(100, 100);
    EXPECT_EQ(game->enemies.first(), dasher->shield);
    EXPECT_EQ(shieldOf(*dasher).kind(), EnemyKind::DasherShield);
    EXPECT_EQ(shieldOf(*dasher).shape->visible, 0);
    EXPECT_FALSE(game->particles.contains(shieldOf(*dasher).particle.get()));
}

TEST_F(Dasher, DashesOnlyWhenPointingWithinAboutFourDegreesOfTheCraft) {
    auto wide = aimingDasher(4.2f);
    runOnce(*wide, 0.016f);
    EXPECT_EQ(wide->state, TDasher::Aiming);
    EXPECT_EQ(shieldOf(*wide).shape->visible, 0);

    auto close = aimingDasher(-3.9f);
    runOnce(*close, 0.016f);
    EXPECT_EQ(close->state, EnemyState::Active);
    EXPECT_NEAR(close->dash.length(), 2000, 1e-2);
    EXPECT_EQ(shieldOf(*close).shape->visible, 1);
    EXPECT_TRUE(shieldOf(*close).shape->heading.equals(close->shape->heading));
}

TEST_F(Dasher, ThrustsForSixTenthsWithItsShieldFortyAheadCoastsBelowTenThenAimsTheOtherWay) {
    auto dasher = aimingDasher(0);
    runOnce(*dasher, 0.05f);
    ASSERT_EQ(dasher->state, EnemyState::Active);
    const TVector dash = dasher->dash;
    const TVector ahead = TVector{dash}.normalize().scale(40);
    const TEnemy& shield = shieldOf(*dasher);

    float thrustTime = 0;
    int updates = 0;
    while (dasher->state == EnemyState::Active && updates < 500) {
        stepWorld(2, 0.05f);
        ++updates;
        if (dasher->dashTime >= 0) thrustTime += 0.05f;
        EXPECT_TRUE(dasher->particle->acceleration.equals(dasher->dashTime >= 0 ? dash : TVector{}))
            << updates;
        if (dasher->state != EnemyState::Active) break;
        TVector offset = shield.particle->position;
        offset.subtract(dasher->particle->position);
        EXPECT_NEAR(offset.x, ahead.x, 1e-3) << updates;
        EXPECT_NEAR(offset.y, ahead.y, 1e-3) << updates;
        EXPECT_EQ(shield.shape->visible, 1) << updates;
    }
    EXPECT_NEAR(thrustTime, 0.6f, 0.051f);
    EXPECT_GT(updates, 13); // it coasted after the thrust
    ASSERT_EQ(dasher->state, TDasher::Aiming);
    EXPECT_LT(dasher->particle->velocity.length(), 10);
    EXPECT_EQ(shield.shape->visible, 0);
    EXPECT_FLOAT_EQ(dasher->turn, -8);
}

// Until its first dash the lowered shield waits at the screen's origin. A destroying wave sweeping over
// that corner must leave it be: no burst of sparks in an empty corner, and the dasher still dashes behind
// a shield that stops shots. A raised shield in reach is broken as any enemy would be.
TEST_F(Dasher, DestroyingWavesPassALoweredShieldByButBreakARaisedOne) {
    auto dasher = aimingDasher(0);
    const TEnemy& shield = shieldOf(*dasher);
    ASSERT_TRUE(shield.particle->position.equals(TVector{}));
    auto bomb = TShockwave::create(TVector{60, 60}, 800, 1, 0.016f, 0);
    for (int i = 0; i < 3; ++i)
        bomb->update(0.05f); // radius 195: over the origin, far short of the dasher 2240 away
    EXPECT_EQ(shield.state, EnemyState::Active);
    EXPECT_TRUE(game->sparks.empty());

    runOnce(*dasher, 0.016f);
    ASSERT_EQ(dasher->state, EnemyState::Active);
    ASSERT_EQ(shield.shape->visible, 1);
    // A shot on the shield and its dasher alike: the shield, first in the list, swallows it whole.
    auto shot = TShot::create(shield.particle->position, TVector{0, 0});
    shot->update(0.016f);
    EXPECT_FALSE(game->shots.contains(shot.get()));
    EXPECT_EQ(dasher->state, EnemyState::Active);
    EXPECT_TRUE(game->sparks.empty());

    auto wave = TShockwave::create(shield.particle->position, 800, 1, 0.016f, 0);
    wave->update(0.016f);
    EXPECT_EQ(shield.state, EnemyState::Dying);
    EXPECT_EQ(game->sparks.size(), 60u); // the shield's burst and its dasher's
}

} // namespace
