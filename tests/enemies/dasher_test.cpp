#include "enemies/dasher.h"
#include "enemies/enemy_kinds_kit.h"

namespace {

class Dasher : public EnemyKindTest {
protected:
    // Aiming from 2000 straight below the craft; after its next turn of 8 its dash direction
    // (-heading.y, -heading.x) points offDegrees away from the craft.
    static std::shared_ptr<TDasher> aimingDasher(float offDegrees) {
        auto dasher = TDasher::create(400, 2300);
        dasher->state = EnemyState::Aiming;
        dasher->turn = 8;
        dasher->shape->heading.set(1, 0);
        dasher->shape->heading.rotate(offDegrees - 8);
        return dasher;
    }
    static TEnemy& shieldOf(const TDasher& dasher) { return *dasher.companion; }
};

TEST_F(Dasher, ItsShieldJoinsTheEnemiesFirstHiddenAndOutsideTheParticles) {
    auto dasher = TDasher::create(100, 100);
    EXPECT_EQ(game->enemies.first(), dasher->companion);
    EXPECT_EQ(shieldOf(*dasher).kind(), EnemyKind::DasherShield);
    EXPECT_EQ(shieldOf(*dasher).shape->visible, 0);
    EXPECT_FALSE(game->particles.contains(shieldOf(*dasher).particle.get()));
}

TEST_F(Dasher, DashesOnlyWhenPointingWithinAboutFourDegreesOfTheCraft) {
    auto wide = aimingDasher(4.2f);
    runOnce(*wide, 0.016f);
    EXPECT_EQ(wide->state, EnemyState::Aiming);
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
    ASSERT_EQ(dasher->state, EnemyState::Aiming);
    EXPECT_LT(dasher->particle->velocity.length(), 10);
    EXPECT_EQ(shield.shape->visible, 0);
    EXPECT_FLOAT_EQ(dasher->turn, -8);
}

} // namespace
