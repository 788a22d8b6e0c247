// The run's counters: score awards paid one per frame, the multiplier thresholds, the shield's end
// with its blinking, and the start-of-run reset.
#include "player_fixture.h"

TEST_F(PlayerTest, AScoreLeapIsPaidOutOneAwardPerFrame) {
    player->stats.score = 160000;
    player->update(Frame);
    EXPECT_EQ(player->lives, 1);
    EXPECT_EQ(player->bombs, 1);
    EXPECT_EQ(player->weaponMark, 10000);
    EXPECT_EQ(busyPoolChannels(), 1); // one extra-life sound

    player->update(Frame);
    EXPECT_EQ(player->lives, 2);
    EXPECT_EQ(player->lifeMark, 150000);
    EXPECT_EQ(player->bombs, 1);
    EXPECT_EQ(player->weaponMark, 20000);
    EXPECT_EQ(busyPoolChannels(), 2);

    for (int frame = 0; frame < 30; ++frame)
        player->update(Frame);
    EXPECT_EQ(player->lives, 2);
    EXPECT_EQ(player->bombs, 1);
    EXPECT_EQ(player->weaponMark, 160000);
    EXPECT_EQ(busyPoolChannels(), 2);
    EXPECT_TRUE(player->weaponLevel == 2 || player->weaponLevel == 3);
}

TEST_F(PlayerTest, ReachingTheLifeMarkExactlyGivesOneLifeAndOneSound) {
    player->stats.score = 74999;
    player->weaponMark = 70000;
    player->update(Frame);
    EXPECT_EQ(player->lives, 0);
    EXPECT_EQ(busyPoolChannels(), 0);

    player->stats.score = 75000;
    player->update(Frame);
    player->update(Frame);
    EXPECT_EQ(player->lives, 1);
    EXPECT_EQ(player->lifeMark, 75000);
    EXPECT_EQ(busyPoolChannels(), 1);
}

TEST_F(PlayerTest, MultiplierRisesAtEachThresholdOfKillsBeforeTheKill) {
    // The 26th kill: checked with 25 kills counted so far.
    player->kills = 24;
    EXPECT_FALSE(player->checkMultiplier());
    player->kills = 25;
    EXPECT_TRUE(player->checkMultiplier());
    EXPECT_EQ(player->multiplier, 2);
    EXPECT_FALSE(player->checkMultiplier()); // 25 is short of the next step, 50

    const int thresholds[] = {50, 100, 200, 400, 700, 1000, 1500, 2000};
    for (int threshold : thresholds) {
        const int from = player->multiplier;
        player->kills = threshold - 1;
        EXPECT_FALSE(player->checkMultiplier()) << "at " << threshold;
        player->kills = threshold;
        EXPECT_TRUE(player->checkMultiplier()) << "at " << threshold;
        EXPECT_EQ(player->multiplier, from + 1);
    }
    EXPECT_EQ(player->multiplier, 10);
    player->kills = 1000000;
    EXPECT_FALSE(player->checkMultiplier());
    EXPECT_EQ(player->multiplier, 10);
}

TEST_F(PlayerTest, ShieldBlinksOnlyInItsLastSecondWithASoundPerToggle) {
    player->shieldOn = 1;
    player->shieldTime = 3.0f;
    game->shieldShape->visible = 1;
    const float dt = 0.01f;
    int toggles = 0;
    float firstToggleAt = -1;
    float lastToggleAt = -1;
    float shortestGap = 10;
    int visible = 1;
    float now = 0;
    while (player->shieldOn && now < 5) {
        player->update(dt);
        now += dt;
        if (game->shieldShape->visible != visible) {
            visible = game->shieldShape->visible;
            ++toggles;
            if (firstToggleAt < 0) firstToggleAt = now;
            if (lastToggleAt >= 0 && now - lastToggleAt < shortestGap) shortestGap = now - lastToggleAt;
            lastToggleAt = now;
        }
    }
    EXPECT_FALSE(player->shieldOn);
    EXPECT_NEAR(now, 3.0f, 0.02f);
    EXPECT_GE(firstToggleAt, 2.0f - 1e-3f);
    EXPECT_GE(shortestGap, 0.14f - 1e-3f);
    EXPECT_GE(toggles, 6);
    EXPECT_LE(toggles, 8);
    EXPECT_EQ(busyPoolChannels(), toggles);
}

TEST_F(PlayerTest, ResetCentresTheCraftAndRaisesTheShield) {
    player->particle->position.set(10, 20);
    player->particle->velocity.set(100, 100);
    player->kills = 77;
    player->multiplier = 4;
    player->lifeMark = 150000;
    game->shieldShape->visible = 0;

    game->border->particle->position.set(-150, 90);

    player->reset();
    // The arena is centred on the craft again.
    EXPECT_TRUE(game->border->particle->position.equals(player->particle->position));
    EXPECT_FLOAT_EQ(player->particle->position.x, static_cast<float>(screenWidth() / 2));
    EXPECT_FLOAT_EQ(player->particle->position.y, static_cast<float>(screenHeight() / 2));
    EXPECT_TRUE(player->particle->velocity.equals(TVector{0, 0}));
    EXPECT_EQ(player->kills, 0);
    EXPECT_EQ(player->multiplier, 1);
    EXPECT_EQ(player->lifeMark, 0);
    EXPECT_EQ(game->shieldShape->visible, 1);
    EXPECT_EQ(player->shieldOn, 1);
    EXPECT_FLOAT_EQ(player->shieldTime, 3.0f);
}
