// Into the arena and out of it again: START on the title, flying, pausing by key, joypad and menu, and
// abandoning the run with Escape, including the cases where two of those fall into one frame.
#include "app/states_kit.h"
#include "app/ui/menu.h"
#include "enemies/level_director.h"
#include "play/arena_border.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "shapes/shape.h"

#include <algorithm>
#include <cmath>

namespace {

using PlayStepTest = StatesTest;

TEST_F(PlayStepTest, StartOnTheTitleBeginsARunWithTheRippleAndThePlayTrack) {
    stepFrames(2);
    EXPECT_EQ(game->state, GameState::Title);
    EXPECT_EQ(game->player->shape->visible, 0); // no craft over the title
    EXPECT_FALSE(playTrackStarted());
    game->logoAlpha = 0.5f;
    game->player->lives = 1; // left over from an earlier run
    tapKey(Key::Enter);      // START is the entry the menu opens on
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    EXPECT_EQ(game->logoAlpha, 0);
    EXPECT_EQ(game->player->shape->visible, 1);
    EXPECT_EQ(game->player->lives, 3);
    EXPECT_EQ(game->player->shieldOn, 0);
    EXPECT_TRUE(playTrackStarted());
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

TEST_F(PlayStepTest, PFreezesTheArenaAndTheLevelClockAndPAgainResumesThem) {
    startPlaying();
    game->player->particle->velocity.set(300, 0);
    tapKey(Key::P);
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Pause);
    const TVector frozen = game->player->particle->position;
    const float levelTime = game->levelDirector->levelTime;
    stepFrames(5);
    EXPECT_TRUE(game->player->particle->position.equals(frozen));
    EXPECT_EQ(game->levelDirector->levelTime, levelTime);
    EXPECT_EQ(game->state, GameState::Pause);
    tapKey(Key::P);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    stepFrames(1);
    EXPECT_FALSE(game->player->particle->position.equals(frozen));
}

// The shielded craft pushes the grid on every drawn frame and the next world step takes the push up. The
// pause draws the world without stepping it, so its pushes would pile up on points that do not move and
// throw the grid out when play resumes.
TEST_F(PlayStepTest, APauseLeavesAShieldedCraftsGridAsItWasAndNothingJumpsOnResuming) {
    startPlaying();
    game->player->shieldOn = 1;
    game->player->shieldTime = 100;
    // Off the grid point under the middle of the screen, so that a point lies well inside the shield's
    // reach however the opening ripple has left the grid.
    game->player->particle->position.set(410, 305);
    stepFrames(150); // the ripple dies down; the shield's bulge stands still
    tapKey(Key::P);
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Pause);
    const auto paused = game->grid->points;
    int pushed = 0, changed = 0;
    for (const auto& column : paused)
        for (const TParticle& point : column)
            pushed += point.acceleration.length() > 0;
    ASSERT_GT(pushed, 0); // the last played frame's push, waiting for the next step
    stepFrames(60);
    for (int i = 0; i < TGrid::Columns; ++i)
        for (int j = 0; j < TGrid::Rows; ++j) {
            const TParticle& now = game->grid->points[i][j];
            const TParticle& then = paused[i][j];
            changed += !now.position.equals(then.position) || !now.velocity.equals(then.velocity) ||
                       !now.acceleration.equals(then.acceleration);
        }
    EXPECT_EQ(changed, 0);

    tapKey(Key::P);
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Play);
    stepFrames(1);
    float largestMove = 0;
    for (const auto& column : game->grid->points)
        for (const TParticle& point : column) {
            TVector moved = point.position;
            moved.subtract(point.previousPosition);
            largestMove = std::max(largestMove, moved.length());
        }
    EXPECT_LT(largestMove, 0.5f) << "pushed points: " << pushed;
}

TEST_F(PlayStepTest, TheJoypadPauseButtonPausesAndResumes) {
    TVirtualPad pad;
    ASSERT_TRUE(pad.attached());
    mapPadButtons();
    startPlaying();
    stepFrames(1);
    pressPadButton(pad, game->joypad->mapping.pauseButton);
    ASSERT_EQ(game->state, GameState::Pause);
    // Held on, it is not pressed again; the pause step's own poll sees it let go.
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::Pause);
    pressPadButton(pad, game->joypad->mapping.pauseButton);
    EXPECT_EQ(game->state, GameState::Play);
    stepFrames(2);
    EXPECT_EQ(game->state, GameState::Play);
}

TEST_F(PlayStepTest, BackInThePauseMenuResumesAndTheOtherEntriesOpenTheJoypadPages) {
    startPlaying();
    tapKey(Key::P);
    stepFrames(1);
    game->configMenu->selected = 5; // TEST JOYPAD
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(game->joypad->mode, JoypadMode::Test);
    // On a joypad page Escape only closes the page: the run stays paused.
    tapKey(Key::Escape);
    stepFrames(1);
    EXPECT_EQ(game->joypad->mode, JoypadMode::Hidden);
    EXPECT_EQ(game->state, GameState::Pause);

    tapKey(Key::Down); // to BACK
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    stepFrames(2);
    EXPECT_EQ(game->state, GameState::Play); // that Escape was the page's, not the run's
}

TEST_F(PlayStepTest, EscapeAbandonsTheRunToTheTitleWithTheEnemiesGone) {
    startPlaying();
    addTestEnemy(EnemyKind::Wanderer, 100, 100);
    addTestEnemy(EnemyKind::Chaser, 900, 100);
    game->player->lives = 1;
    game->player->stats.score = 5000;
    game->levelDirector->level = 7;
    tapKey(Key::Escape);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
    EXPECT_TRUE(game->enemies.empty());
    EXPECT_EQ(game->particles.size(), 2u); // the craft's and the border's
    EXPECT_EQ(game->player->lives, 3);
    EXPECT_EQ(game->player->stats.score, 0);
    EXPECT_EQ(game->levelDirector->level, 1);
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

// A pause asked for in the very frame the craft is hit must not skip the countdown: the craft would fly
// on invisible and unshielded, and with no lives left the run would never end.
TEST_F(PlayStepTest, APauseInTheFrameALifeIsLostIsDropped) {
    startPlaying();
    game->player->lives = 1;
    placeEnemyOnCraft()->skipFrame = true; // it thinks in the next frame
    tapKey(Key::P);
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::LifeLost);
    stepFrames(countdownFramesButOne + 1, longFrame);
    EXPECT_EQ(game->state, GameState::GameOver);
}

} // namespace
