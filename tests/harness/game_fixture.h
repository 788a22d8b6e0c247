// A whole game on the real platform, for tests that step frames and look at the result.
//
// Each test gets a fresh TGame in `game` (the display and the embedded assets are set up once per
// process) and a clock that only moves when a frame is stepped, so every frame has exactly the dt asked
// for. The game starts as the entry routine leaves it: title state, run reset, title music playing.
#pragma once

#include "app/game.h"
#include "harness/display_fixture.h"

#include <filesystem>

class GameTest : public DisplayTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs count passes of the frame loop (state step and presentation), each dt = millis / 1000.
    void stepFrames(int count, int millis = 16);
    // The title menu's START, as a player choosing it would get it.
    void startPlaying();
    // A fresh game as the entry routine leaves it (SetUp has made one already; delete `game` first).
    void createGame();
    // Runs just before the game is created, with the clock and the input already set up: the place to
    // start a recording or a replay, which must see the game read its settings and seed its generator.
    virtual void beforeGameCreated() {}

    int clockMillis = 100000; // what elapsedMillis returns

private:
    // Every game works in an empty directory named after its test, so the "config.ini" one test leaves
    // behind (a quit saves it) is never read by another, even when ctest runs them side by side.
    std::filesystem::path previousDirectory;
    std::filesystem::path scratchDirectory;
};
