#include <gtest/gtest.h>

#include "play/particle.h"
#include "play/scroll.h"

namespace {

class ParticleTest : public testing::Test {
protected:
    void SetUp() override { worldScrollOffset().set(0, 0); }
    void TearDown() override { worldScrollOffset().set(0, 0); }
};

TEST_F(ParticleTest, UpdateDampsAfterAddingTheForceAndClearsIt) {
    const auto particle = TParticle::create(10, 20, 0.5f, 1000);
    particle->acceleration.set(100, -40);
    particle->update(0.5f, true);
    // (0 + 100 * 0.5) * 0.5 = 25 units per second, then half a second of it.
    EXPECT_TRUE(particle->velocity.equals({25, -10}));
    EXPECT_TRUE(particle->position.equals({22.5f, 15}));
    EXPECT_TRUE(particle->previousPosition.equals({10, 20}));
    EXPECT_TRUE(particle->acceleration.equals({0, 0}));
}

TEST_F(ParticleTest, OnlySpeedStrictlyAboveTheCapIsCut) {
    // Shots are launched this way: no damping and a launch speed above their cap.
    const auto shot = TParticle::create(0, 0, 1, 250);
    shot->velocity.set(300, 400);
    shot->update(0.01f, true);
    EXPECT_FLOAT_EQ(shot->velocity.length(), 250);
    EXPECT_FLOAT_EQ(shot->velocity.x, 150);

    // Renormalising (1, 1) to its own length does not give (1, 1) back in float, so a cut at equal speed
    // would show in the last bit.
    const auto atCap = TParticle::create(0, 0, 1, TVector{1, 1}.length());
    atCap->velocity.set(1, 1);
    atCap->update(0.01f, true);
    EXPECT_TRUE(atCap->velocity.equals({1, 1}));
}

TEST_F(ParticleTest, ScrollMovesOnlyParticlesNotFixedToTheWorld) {
    const auto anchored = TParticle::create(50, 60, 1, 0);
    anchored->velocity.set(30, 0);
    anchored->acceleration.set(0, 500);
    const auto gridPoint = TParticle::create(50, 60, 1, 100);
    worldScrollOffset().set(2, -3);
    anchored->update(0.016f, false);
    gridPoint->update(0.016f, true);
    // A zero cap leaves the particle nothing of its own; it only drifts with the view.
    EXPECT_TRUE(anchored->position.equals({52, 57}));
    EXPECT_TRUE(anchored->velocity.equals({0, 0}));
    EXPECT_TRUE(gridPoint->position.equals({50, 60}));
}

TEST_F(ParticleTest, OtherParticlesBounceOffTheEdges) {
    const auto particle = TParticle::create(-5, 130, 1, 100);
    particle->velocity.set(-3, 7);
    worldScrollOffset().set(4, 6);
    particle->confine(0, 100, 0, 120);
    EXPECT_TRUE(particle->position.equals({0, 120}));
    EXPECT_TRUE(particle->velocity.equals({3, -7}));
    EXPECT_TRUE(worldScrollOffset().equals({4, 6}));

    // Within the craft's margin but inside the rectangle: untouched.
    particle->position.set(5, 115);
    particle->confine(0, 100, 0, 120);
    EXPECT_TRUE(particle->position.equals({5, 115}));
    EXPECT_TRUE(particle->velocity.equals({3, -7}));
}

// Homing, wells and the craft's pull all go through pullToward: the strength along the way to the target,
// added to what is already there, and nothing at all from right on the target.
TEST_F(ParticleTest, APullAddsItsStrengthTowardTheTargetAndNothingFromOnTopOfIt) {
    struct TCase {
        TVector target;
        float strength;
        TVector added;
    };
    for (const TCase& c : {TCase{{13, 24}, 10, {6, 8}}, TCase{{10, 0}, 2.5f, {0, -2.5f}},
                           TCase{{7, 20}, -4, {4, 0}}, TCase{{10, 20}, 1000, {0, 0}}}) {
        const auto particle = TParticle::create(10, 20, 1, 100);
        particle->acceleration.set(1, -1);
        particle->pullToward(c.target, c.strength);
        EXPECT_NEAR(particle->acceleration.x, 1 + c.added.x, 1e-5) << c.target.toString();
        EXPECT_NEAR(particle->acceleration.y, -1 + c.added.y, 1e-5) << c.target.toString();
    }
}

TEST_F(ParticleTest, TheCraftStopsInsideTheMarginAndHoldsTheViewOnThatAxisOnly) {
    const auto craft = TParticle::create(5, 60, 1, 100);
    craft->keepsMargin = true;
    craft->velocity.set(-3, 7);
    worldScrollOffset().set(4, 6);
    craft->confine(0, 100, 0, 120);
    EXPECT_TRUE(craft->position.equals({12, 60}));
    EXPECT_TRUE(craft->velocity.equals({0, 7}));
    EXPECT_TRUE(worldScrollOffset().equals({0, 6}));

    worldScrollOffset().set(4, 6);
    craft->position.set(50, 119);
    craft->confine(0, 100, 0, 120);
    EXPECT_TRUE(craft->position.equals({50, 108}));
    EXPECT_TRUE(craft->velocity.equals({0, 0}));
    EXPECT_TRUE(worldScrollOffset().equals({4, 0}));
}

} // namespace
