// Getting into the arena and out of it again: the interim title's Enter, flying, pausing and abandoning.
#include "enemies/enemy.h"
#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "play/arena_border.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "shapes/shape.h"

namespace {

using PlayStepTest = GameTest;

struct TStillEnemy : TEnemy {
    void update(float) override {}
    int kind() const override { return EnemyKind::Wanderer; }
};

void addEnemy() {
    auto enemy = std::make_shared<TStillEnemy>();
    enemy->particle = TParticle::create(100, 100, 0.9f, 300);
    enemy->shape = game->enemyShape0->copy();
    enemy->state = EnemyState::Active;
    game->enemies.add(enemy);
    game->particles.add(enemy->particle);
}

TEST_F(PlayStepTest, EnterOnTheTitleStartsARunWithARippleOutOfTheCraft) {
    stepFrames(2);
    EXPECT_EQ(game->state, GameState::Title);
    EXPECT_EQ(game->player->shape->visible, 0); // no craft over the title
    game->logoAlpha = 0.5f;
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    EXPECT_EQ(game->logoAlpha, 0);
    EXPECT_EQ(game->player->shape->visible, 1);
    EXPECT_EQ(game->player->lives, 3);
    // The grid point nearest the craft (arena (512, 320)) has been thrown out of its rest position.
    stepFrames(1);
    const TVector& nearCraft = game->grid->points[15][10].position;
    EXPECT_GT(std::abs(nearCraft.x - 480) + std::abs(nearCraft.y - 320), 5);
}

TEST_F(PlayStepTest, TheCraftFliesWithTheKeysAndTheViewFollowsAtHalfItsSpeed) {
    startPlaying();
    game->player->controlMode = ControlMode::KeysAndMouse;
    const TVector craftStart = game->player->particle->position;
    const TVector borderStart = game->border->particle->position;
    pressKey(Key::Right);
    stepFrames(40);
    releaseKey(Key::Right);
    const float craftMoved = game->player->particle->position.x - craftStart.x;
    const float arenaMoved = game->border->particle->position.x - borderStart.x;
    EXPECT_GT(craftMoved, 50);
    EXPECT_LT(arenaMoved, -50);
    // Craft and arena share the travel between them: half each way, give or take one frame's lag.
    EXPECT_NEAR(craftMoved, -arenaMoved, 0.25f * craftMoved);
    EXPECT_FLOAT_EQ(game->player->particle->position.y, craftStart.y);
}

TEST_F(PlayStepTest, PFreezesTheArenaAndPAgainResumesIt) {
    startPlaying();
    game->player->particle->velocity.set(300, 0);
    tapKey(Key::P);
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Pause);
    const TVector frozen = game->player->particle->position;
    stepFrames(5);
    EXPECT_TRUE(game->player->particle->position.equals(frozen));
    EXPECT_EQ(game->state, GameState::Pause);
    tapKey(Key::P);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    stepFrames(1);
    EXPECT_FALSE(game->player->particle->position.equals(frozen));
}

TEST_F(PlayStepTest, EscapeAbandonsTheRunToTheTitleWithTheEnemiesGone) {
    startPlaying();
    addEnemy();
    game->player->lives = 1;
    tapKey(Key::Escape);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
    EXPECT_TRUE(game->enemies.empty());
    EXPECT_EQ(game->particles.size(), 2u);
    EXPECT_EQ(game->player->lives, 3);
}

TEST_F(PlayStepTest, PAndEscapeInOnePlayFrameLeaveForTheTitle) {
    startPlaying();
    tapKey(Key::P);
    tapKey(Key::Escape);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
}

TEST_F(PlayStepTest, AnEscapeDuringThePauseWaitsAndAbandonsTheRunOnceResumed) {
    startPlaying();
    tapKey(Key::P);
    stepFrames(1);
    tapKey(Key::Escape);
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::Pause);
    tapKey(Key::P);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
}

TEST_F(PlayStepTest, EscapeOnTheTitleEndsTheProgramWithoutError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            tapKey(Key::Escape);
            stepFrames(1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
