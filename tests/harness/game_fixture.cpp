#include "harness/game_fixture.h"

#include "app/entry.h"

#include "platform/assets.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "play/scroll.h"

void GameTest::SetUp() {
    DisplayTest::SetUp();
    if (HasFatalFailure()) return;
    static bool assetsRegistered = false;
    if (!assetsRegistered) {
        registerEmbeddedAssets();
        assetsRegistered = true;
    }
    selectFont(gameFont()); // the drawing state was reset to the built-in face
    setClockSource([this] { return clockMillis; });
    clearKeyState();
    // The scroll offset outlives a game; a new game starts with the view still.
    worldScrollOffset().set(0, 0);
    game = TGame::create();
    game->startRun();
    game->phaseTime = 10.0f;
    game->lastFrameTime = elapsedMillis();
}

void GameTest::TearDown() {
    delete game;
    game = nullptr;
    setClockSource({});
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
