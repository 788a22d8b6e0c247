#include "harness/game_fixture.h"

#include "app/entry.h"

#include "platform/assets.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "play/scroll.h"

#include <string>

void GameTest::SetUp() {
    DisplayTest::SetUp();
    if (HasFatalFailure()) return;
    static bool assetsRegistered = false;
    if (!assetsRegistered) {
        registerEmbeddedAssets();
        assetsRegistered = true;
    }
    selectFont(gameFont()); // the drawing state was reset to the built-in face
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    previousDirectory = std::filesystem::current_path();
    scratchDirectory =
        previousDirectory / (std::string("game-") + test->test_suite_name() + "." + test->name());
    // A death test's child runs this again in the same directory: only the parent starts it afresh.
    if (GTEST_FLAG_GET(internal_run_death_test).empty()) std::filesystem::remove_all(scratchDirectory);
    std::filesystem::create_directories(scratchDirectory);
    std::filesystem::current_path(scratchDirectory);
    setClockSource([this] { return clockMillis; });
    clearKeyState();
    createGame();
}

void GameTest::createGame() {
    // The scroll offset outlives a game; a new game starts with the view still.
    worldScrollOffset().set(0, 0);
    beforeGameCreated();
    game = TGame::create();
    game->startRun();
    game->phaseTime = 10.0f;
    game->lastFrameTime = elapsedMillis();
}

void GameTest::TearDown() {
    delete game;
    game = nullptr;
    setClockSource({});
    std::filesystem::current_path(previousDirectory);
    std::filesystem::remove_all(scratchDirectory);
}

void GameTest::stepFrames(int count, int millis) {
    for (int i = 0; i < count; ++i) {
        clockMillis += millis;
        game->frame();
    }
}

void GameTest::startPlaying() {
    game->startPlaying();
}
