// Steering and shooting: the keyboard thrust rule, the stick dead zone, the exhaust, the three weapon
// patterns, the fire rate and the one-bomb-at-a-time rule.
#include "player_fixture.h"

#include "platform/input.h"
#include "play/shockwave.h"

#include <cmath>
#include <initializer_list>
#include <set>

namespace {

std::set<int> heldKeys;
int fakeKeyDown(int code) {
    return heldKeys.count(code) ? 1 : 0;
}

TVector keysThrust(std::initializer_list<int> keys) {
    heldKeys = keys;
    return keyboardThrust(fakeKeyDown).thrust;
}

void expectVectorNear(const TVector& actual, float x, float y, float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
}

} // namespace

TEST(KeyboardThrust, EachAxisTakesAtMostOnePushPerFrame) {
    // A straight key claims its axis; a diagonal adds only to the axis left free.
    expectVectorNear(keysThrust({Key::Left, Key::Keypad7}), -2500, -2500);
    expectVectorNear(keysThrust({Key::Keypad4, Key::Keypad3}), -2500, 2500);
    // Two diagonals: the first in the keypad order (7, 1, 9, 3) takes both axes.
    expectVectorNear(keysThrust({Key::Keypad9, Key::Keypad1}), -2500, 2500);
    expectVectorNear(keysThrust({Key::Keypad7}), -2500, -2500);
    // Both keys of one row are one push, as either alone.
    expectVectorNear(keysThrust({Key::Up, Key::Keypad8}), 0, -2500);
}

TEST_F(PlayerTest, StickDeadZoneIsStrict) {
    pad->move.set(0.4f, 0);
    pad->fire.set(0, 0.4f);
    player->update(Frame);
    expectVectorNear(player->particle->acceleration, 0, 0);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_TRUE(game->sparks.empty());

    pad->move.set(0.41f, 0);
    pad->fire.set(0, 0.41f);
    player->update(Frame);
    // The raw stick, so a part-pushed stick gives part thrust.
    expectVectorNear(player->particle->acceleration, 0.41f * 3100, 0, 0.01f);
    EXPECT_EQ(game->shots.size(), 2u);
}

TEST_F(PlayerTest, ThrustTurnsTheCraftAndBlowsThreeExhaustSparksBackwards) {
    pad->move.set(0, -1); // straight up
    player->update(Frame);
    EXPECT_FLOAT_EQ(player->shape->heading.x, 0);
    EXPECT_FLOAT_EQ(player->shape->heading.y, 1);
    EXPECT_EQ(player->shape->needsRotation, 1);

    const auto exhaust = sparks();
    ASSERT_EQ(exhaust.size(), 3u);
    const TVector backwards{0, 1};
    for (size_t i = 0; i < exhaust.size(); ++i) {
        const TSpark& spark = *exhaust[i];
        EXPECT_NEAR(spark.particle.velocity.length(), 100, 1e-3);
        EXPECT_EQ(spark.red, 200);
        // The random turns add up: the k-th spark strays at most 25 k degrees from straight back.
        TVector direction = spark.particle.velocity;
        direction.normalize();
        const float stray = std::acos(std::fmin(1.0f, direction.dot(backwards))) * 180.0f / 3.14159265f;
        EXPECT_LE(stray, 25.0f * static_cast<float>(i + 1) + 1e-3f) << "spark " << i;
    }
}

TEST_F(PlayerTest, WeaponLevelOneFiresTwoParallelShotsBesideTheNose) {
    player->particle->velocity.set(30, -40);
    pad->fire.set(1, 0);
    player->update(Frame);

    const auto fired = shots();
    ASSERT_EQ(fired.size(), 2u);
    // 6 units along the aim, turned 45 degrees either way (positive turns counter-clockwise on screen).
    expectVectorNear(spawnPoint(*fired[0]), 400 + 6 * std::sqrt(0.5f), 300 + 6 * std::sqrt(0.5f));
    expectVectorNear(spawnPoint(*fired[1]), 400 + 6 * std::sqrt(0.5f), 300 - 6 * std::sqrt(0.5f));
    for (const TShot* shot : fired)
        expectVectorNear(shot->particle->velocity, 830, -40);
    EXPECT_FLOAT_EQ(player->fireDelay, 0.12f);
    EXPECT_EQ(player->stats.shotsFired, 2);
    EXPECT_EQ(busyPoolChannels(), 1); // the fire sound
}

TEST_F(PlayerTest, WeaponLevelsTwoAndThreeFanOutFromTheCraftWithItsVelocityInside) {
    struct TPattern {
        int level, shots;
        float firstTurn, speed, step, delay;
    };
    for (const TPattern& pattern : {TPattern{2, 3, -5, 1100, 5, 0.1f}, TPattern{3, 5, -8, 700, 4, 0.15f}}) {
        game->shots.clear();
        player->stats.shotsFired = 0;
        player->fireDelay = 0;
        player->weaponLevel = pattern.level;
        player->particle->velocity.set(0, 200);
        pad->fire.set(-0.6f, -0.8f);
        player->update(Frame);

        const auto fired = shots();
        ASSERT_EQ(fired.size(), static_cast<size_t>(pattern.shots));
        // The whole first vector, craft velocity included, is turned for each further shot.
        const TVector first =
            TVector{-0.6f, -0.8f}.rotate(pattern.firstTurn).scale(pattern.speed).add(TVector{0, 200});
        for (size_t i = 0; i < fired.size(); ++i) {
            const TVector expected = first.rotated(pattern.step * static_cast<float>(i));
            expectVectorNear(fired[i]->particle->velocity, expected.x, expected.y, 0.01f);
            expectVectorNear(spawnPoint(*fired[i]), 400, 300, 0.01f);
        }
        EXPECT_FLOAT_EQ(player->fireDelay, pattern.delay);
        EXPECT_EQ(player->stats.shotsFired, pattern.shots);
    }
}

TEST_F(PlayerTest, HeldFireGivesOneVolleyPerFireDelayPlusAFrame) {
    pad->fire.set(1, 0);
    std::vector<int> volleyFrames;
    for (int frame = 0; frame < 60; ++frame) {
        const int before = player->stats.shotsFired;
        player->update(Frame);
        if (player->stats.shotsFired != before) volleyFrames.push_back(frame);
    }
    // 0.12 s is 7.2 frames, so the delay runs out on the eighth frame after each volley.
    ASSERT_EQ(volleyFrames.size(), 8u);
    for (size_t i = 1; i < volleyFrames.size(); ++i)
        EXPECT_EQ(volleyFrames[i] - volleyFrames[i - 1], 8);
    EXPECT_EQ(player->stats.shotsFired, 16);
}

TEST_F(PlayerTest, AimWithoutDirectionFiresNothing) {
    // The pointer right on the craft centre: no direction to fire along, and no NaN in any shot.
    player->fireDelay = -1;
    EXPECT_FALSE(player->fireWeapon(TVector{0, 0}));
    EXPECT_TRUE(game->shots.empty());
    EXPECT_EQ(player->stats.shotsFired, 0);
    EXPECT_FLOAT_EQ(player->fireDelay, -1); // ready again as soon as the pointer moves off
    EXPECT_TRUE(std::isfinite(player->particle->position.x) && std::isfinite(player->particle->position.y));
}

TEST_F(PlayerTest, ABombIsRefusedWhileTheLastOneRuns) {
    player->bombs = 3;
    pad->bomb = 1;
    player->update(Frame);
    ASSERT_TRUE(player->activeBomb);
    EXPECT_EQ(player->bombs, 2);
    EXPECT_EQ(game->shockwaves.size(), 1u);
    EXPECT_EQ(player->activeBomb->destroysEnemies, 1);
    EXPECT_FLOAT_EQ(player->activeBomb->maxRadius, 800);

    player->update(Frame);
    EXPECT_EQ(player->bombs, 2);
    EXPECT_EQ(game->shockwaves.size(), 1u);

    player->activeBomb.reset(); // the wave has passed its full radius
    player->update(Frame);
    EXPECT_EQ(player->bombs, 1);

    player->activeBomb.reset();
    player->bombs = 0;
    player->update(Frame);
    EXPECT_FALSE(player->activeBomb);
    EXPECT_EQ(player->bombs, 0);
}
