// Leaving the window: a run in play pauses exactly as P would pause it and waits for the player, the front
// end runs on regardless, and nothing held at that moment stays held.
#include "app/states_kit.h"
#include "app/ui/menu.h"
#include "play/particle.h"
#include "play/player.h"
#include "replays/replay_kit.h"

#include <fstream>
#include <sstream>

namespace {

using FocusTest = StatesTest;

TEST_F(FocusTest, LeavingTheWindowInPlayPausesUntilThePlayerResumes) {
    startPlaying();
    game->player->controlMode = ControlMode::KeysAndMouse;
    loseWindowFocus();
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Pause);
    // Coming back changes nothing by itself, and neither does leaving again.
    stepFrames(5);
    loseWindowFocus();
    stepFrames(5);
    EXPECT_EQ(game->state, GameState::Pause);
    tapKey(Key::P);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    // The loss during the pause was used up there: play goes on.
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::Play);

    minimiseWindow();
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Pause);
}

TEST_F(FocusTest, TheFrontEndRunsOnAndARunStartedLaterIsNotPaused) {
    stepFrames(2);
    const float phaseTime = game->phaseTime;
    loseWindowFocus();
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::Title);
    EXPECT_LT(game->phaseTime, phaseTime); // the title's own clock keeps going
    tapKey(Key::Enter);                    // START
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::Play);
}

TEST_F(FocusTest, AWindowLeftDuringTheLifeLostCountdownPausesThePlayAfterIt) {
    startPlaying();
    loseALife();
    loseWindowFocus();
    stepFrames(countdownFramesButOne, longFrame);
    EXPECT_EQ(game->state, GameState::LifeLost);
    stepFrames(1, longFrame); // the countdown ends: back in play, with the shield
    EXPECT_EQ(game->state, GameState::Play);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Pause);
}

TEST_F(FocusTest, KeysAndButtonsHeldWhenTheWindowIsLeftAreLetGo) {
    startPlaying();
    game->player->controlMode = ControlMode::KeysAndMouse;
    pressKey(Key::Right);
    mouseButton(1, true);
    stepFrames(10);
    ASSERT_GT(game->player->particle->velocity.x, 0);
    loseWindowFocus();
    stepFrames(1);
    const float speedAtPause = game->player->particle->velocity.x;
    EXPECT_EQ(isKeyDown(Key::Right), 0);
    EXPECT_EQ(isMouseButtonDown(1), 0);
    // Back in play the craft neither thrusts nor fires: its speed only decays.
    tapKey(Key::P);
    stepFrames(20);
    EXPECT_EQ(game->state, GameState::Play);
    EXPECT_LT(game->player->particle->velocity.x, 0.5f * speedAtPause);
    const int shotsFired = game->player->stats.shotsFired;
    stepFrames(10);
    EXPECT_EQ(game->player->stats.shotsFired, shotsFired);
    // The key's own release, when it comes, does nothing more.
    releaseKey(Key::Right);
    mouseButton(1, false);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
}

using FocusReplayTest = ReplayGameTest;

TEST_F(FocusReplayTest, ALeftWindowIsRecordedAndReplaysToTheSamePause) {
    const std::string path = "focus.kvr";
    recreateGameRecording(path);
    stepFrames(5);
    tapKey(Key::Enter); // START
    stepFrames(20);
    loseWindowFocus();
    stepFrames(20);
    const GameState recordedState = game->state;
    stopRecording();
    ASSERT_EQ(recordedState, GameState::Pause);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find(" fl\n"), std::string::npos);

    recreateGameReplaying(path);
    const TReplayVerdict& verdict = replayToTheEnd();
    EXPECT_FALSE(verdict.diverged) << verdict.message;
    EXPECT_EQ(game->state, GameState::Pause);
}

} // namespace
