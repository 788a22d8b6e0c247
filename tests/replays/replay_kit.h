// Shared by the replay tests and by the program that records their files: a game test whose game can be
// made again with a recording or a replay running from before its creation, so that both see the same
// start (settings read, generator seeded from the clock).
#pragma once

#include "app/state_hash.h"
#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "platform/replay.h"

#include <string>

// The recorded files live in the source tree, beside these tests.
inline std::string replayFilePath(const std::string& name) {
    return std::string(KELVANOR_REPLAY_DIR) + "/" + name;
}

class ReplayGameTest : public GameTest {
protected:
    void SetUp() override {
        useTestDrivers(); // before SDL starts: an offscreen window never has focus for the pad
        GameTest::SetUp();
    }
    void TearDown() override {
        stopReplay();
        stopRecording();
        GameTest::TearDown();
    }

    // The game SetUp made is replaced by one whose whole life is recorded into path.
    void recreateGameRecording(const std::string& path) {
        recordTo = path;
        replayFrom.clear();
        recreateGame();
    }
    // ... or replayed from path.
    void recreateGameReplaying(const std::string& path) {
        replayFrom = path;
        recordTo.clear();
        recreateGame();
    }

    // Runs frames until the replay has its verdict; one that never gets there fails the test.
    const TReplayVerdict& replayToTheEnd(int frameLimit = 200000) {
        for (int i = 0; i < frameLimit && !replayVerdict().finished; ++i)
            game->frame();
        EXPECT_TRUE(replayVerdict().finished)
            << "the replay was still running after " << frameLimit << " frames";
        return replayVerdict();
    }

    std::string recordTo;
    std::string replayFrom;

private:
    void recreateGame() {
        delete game;
        game = nullptr;
        clearKeyState();
        createGame();
    }

    void beforeGameCreated() override {
        if (!recordTo.empty()) {
            ASSERT_TRUE(startRecording(recordTo, hashCurrentGame)) << recordTo;
        }
        if (!replayFrom.empty()) {
            ASSERT_TRUE(startReplay(replayFrom, hashCurrentGame, false)) << replayFrom;
        }
    }
};
