// The title page and leaving the program: the main menu's choices, the two alternating phases with the
// logo fading per frame, the frame time, and every way out (Escape, QUIT, the system's own close request),
// each of which must leave the settings file written and end with status 0.
#include "app/states_kit.h"
#include "app/ui/menu.h"
#include "platform/program.h"

#include <csignal>

namespace {

using TitleStepTest = StatesTest;
using LeavingTest = StatesTest;

TEST_F(TitleStepTest, TheMenuOpensEachPageAndEachPageComesBackToIt) {
    stepFrames(1);
    for (const GameState page : {GameState::Configuration, GameState::Instructions, GameState::Credits}) {
        tapKey(Key::Down); // the cursor stays where it was left, so one step further each time
        tapKey(Key::Enter);
        stepFrames(1);
        EXPECT_EQ(game->state, page);
        stepFrames(2);
        tapKey(Key::Escape);
        stepFrames(1);
        EXPECT_EQ(game->state, GameState::Title);
    }
}

TEST_F(TitleStepTest, TheLogoFadesInOverThirtyFourFramesAndOutOnTheHiscorePhase) {
    ASSERT_EQ(game->titlePhase, TitlePhase::Logo);
    game->logoAlpha = 0;
    stepFrames(33);
    EXPECT_LT(game->logoAlpha, 1.0f);
    stepFrames(1);
    EXPECT_GE(game->logoAlpha, 1.0f);
    stepFrames(5);
    EXPECT_NEAR(game->logoAlpha, 1.02f, 1e-4f); // stops once past full

    game->titlePhase = TitlePhase::Hiscores;
    stepFrames(34);
    EXPECT_NEAR(game->logoAlpha, 0.0f, 1e-4f);
    stepFrames(3); // at most one step below nothing
    EXPECT_LE(game->logoAlpha, 1e-4f);
    EXPECT_GT(game->logoAlpha, -0.031f);
}

TEST_F(TitleStepTest, ThePhasesTakeTurnsEveryTenSeconds) {
    ASSERT_EQ(game->titlePhase, TitlePhase::Logo);
    stepFrames(10, 1000); // exactly used up, not yet over
    EXPECT_EQ(game->titlePhase, TitlePhase::Logo);
    stepFrames(1, 1000);
    EXPECT_EQ(game->titlePhase, TitlePhase::Hiscores);
    EXPECT_EQ(game->phaseTime, 10.0f);
    stepFrames(11, 1000);
    EXPECT_EQ(game->titlePhase, TitlePhase::Logo);
}

TEST_F(TitleStepTest, AStallOfTwoSecondsIsOneFrameOfTwoSeconds) {
    stepFrames(1);
    const float before = game->phaseTime;
    stepFrames(1, 2000);
    EXPECT_FLOAT_EQ(before - game->phaseTime, 2.0f);
}

TEST_F(LeavingTest, EscapeOnTheTitleWritesTheSettingsAndEndsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            tapKey(Key::Escape);
            stepFrames(1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(readWholeTextFile("config.ini").find("[Hiscore]"), std::string::npos);
}

TEST_F(LeavingTest, QuitOnTheMenuWritesTheSettingsAndEndsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            tapKey(Key::Up); // from START round to QUIT
            tapKey(Key::Enter);
            stepFrames(1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(readWholeTextFile("config.ini").find("[Hiscore]"), std::string::npos);
}

// A window closed (or the process told to stop) in the middle of a run still keeps the hiscores.
TEST_F(LeavingTest, TheSystemsCloseRequestInAnyStateSavesAndEndsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startPlaying();
            tapKey(Key::P);
            stepFrames(2);
            std::raise(SIGTERM);
            stepFrames(1);
            std::fputs("still running after the close request", stderr);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(readWholeTextFile("config.ini").find("[Hiscore]"), std::string::npos);
}

} // namespace
