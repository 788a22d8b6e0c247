// Replays of runs the program recorded (by tests/replays/recorder), played back through the real platform:
// each must reach its end with every checkpoint matching, in whichever build runs it. The files were
// recorded by the release build, so a sanitizer or debug build that replays them proves the builds agree.
#include "replays/replay_kit.h"

#include "app/entry.h"
#include "app/game.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "platform/program.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The recording with the first clock read of one frame changed, so that the frame gets another dt. Frames
// written as one repeated line are split around it.
std::string withClockStepChanged(const std::string& text, int target, int newStep) {
    std::istringstream in(text);
    std::string out, line;
    int frame = 0;
    while (std::getline(in, line)) {
        if (line.rfind("f ", 0) != 0) {
            out += line + "\n";
            continue;
        }
        int repeat = 1;
        std::string steps = line.substr(1);
        if (const size_t star = steps.find(" *"); star != std::string::npos) {
            repeat = std::stoi(steps.substr(star + 2));
            steps.resize(star);
        }
        if (target < frame || target >= frame + repeat) {
            out += line + "\n";
        } else {
            auto run = [&out, &steps](int count) {
                if (count > 0) out += "f" + steps + (count > 1 ? " *" + std::to_string(count) : "") + "\n";
            };
            run(target - frame);
            std::istringstream words(steps);
            std::string first, rest;
            words >> first;
            std::getline(words, rest);
            out += "f " + std::to_string(newStep) + rest + "\n";
            run(frame + repeat - target - 1);
        }
        frame += repeat;
    }
    return out;
}

} // namespace

class ReplayFiles : public ReplayGameTest {
protected:
    // Replays the file to its end, noting every state the game passed through.
    const TReplayVerdict& replayWatchingStates(const std::string& name,
                                               const std::function<void()>& eachFrame = {}) {
        recreateGameReplaying(replayFilePath(name));
        for (int i = 0; i < 200000 && !replayVerdict().finished; ++i) {
            game->frame();
            statesSeen.insert(game->state);
            if (eachFrame) eachFrame();
        }
        EXPECT_TRUE(replayVerdict().finished);
        return replayVerdict();
    }

    std::set<GameState> statesSeen;
};

TEST_F(ReplayFiles, RunWithDeathsMatchesEveryCheckpoint) {
    const TReplayVerdict& verdict = replayWatchingStates("deaths.kvr");
    EXPECT_FALSE(verdict.diverged) << verdict.message;
    EXPECT_GT(verdict.checkpointsMatched, 10);
    EXPECT_TRUE(statesSeen.count(GameState::LifeLost)) << "the recorded run loses lives";
    EXPECT_EQ(game->state, GameState::Title) << "and is abandoned with Escape";
}

TEST_F(ReplayFiles, GameOverWithNameEntryMatchesEveryCheckpoint) {
    const TReplayVerdict& verdict = replayWatchingStates("game_over.kvr");
    EXPECT_FALSE(verdict.diverged) << verdict.message;
    EXPECT_TRUE(statesSeen.count(GameState::GameOver));
    const auto& entries = game->hiscores->entries;
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
        return entry->name == "VIKA";
    })) << "the name typed at the game over is in the table";
}

TEST_F(ReplayFiles, JoypadRunMatchesWithoutAnyPadPluggedIn) {
    bool stickMoved = false;
    const TReplayVerdict& verdict = replayWatchingStates(
        "joypad.kvr", [&] { stickMoved = stickMoved || game->joypad->move.length() > 0.5f; });
    EXPECT_FALSE(verdict.diverged) << verdict.message;
    EXPECT_TRUE(stickMoved) << "the pad's stick values come from the recording";
    EXPECT_TRUE(statesSeen.count(GameState::Pause)) << "the pad's pause button was recorded too";
}

// The backdrop's stars are drawn from the generator before the run seeds it, so each replay starts in a
// game of its own, as the recording did.
class ReplayDivergence : public ReplayGameTest {
protected:
    void expectReportedAt(int alteredFrame, int reportedFrame) {
        const std::string recorded = fileText(replayFilePath("deaths.kvr"));
        ASSERT_FALSE(recorded.empty());
        writeText("altered.kvr", withClockStepChanged(recorded, alteredFrame, 45));
        recreateGameReplaying("altered.kvr");
        const TReplayVerdict& verdict = replayToTheEnd();
        EXPECT_TRUE(verdict.diverged);
        EXPECT_EQ(verdict.frame, reportedFrame) << verdict.message;
        // A longer frame moves the grid; the frame time is in the shell's state.
        EXPECT_TRUE(std::count(verdict.parts.begin(), verdict.parts.end(), "shell")) << verdict.message;
        EXPECT_TRUE(std::count(verdict.parts.begin(), verdict.parts.end(), "grid")) << verdict.message;
    }
};

TEST_F(ReplayDivergence, AnAlteredFrameIsReportedAtTheNextCheckpoint) {
    expectReportedAt(250, 300);
}

TEST_F(ReplayDivergence, AnAlteredCheckpointFrameIsReportedAtItself) {
    // A checkpoint is taken at the end of its frame.
    expectReportedAt(480, 480);
}

TEST_F(ReplayDivergence, ALostKeyPressIsFoundToo) {
    std::string recorded = fileText(replayFilePath("deaths.kvr"));
    // Without the Escape that abandons the run, the replay stays in play.
    const size_t escape = recorded.find(" kd 41 27 0");
    ASSERT_NE(escape, std::string::npos) << "the run is left with Escape (scancode 41)";
    const size_t lineStart = recorded.rfind('\n', escape) + 1;
    recorded.erase(lineStart, recorded.find('\n', escape) + 1 - lineStart);
    writeText("no_escape.kvr", recorded);
    recreateGameReplaying("no_escape.kvr");
    const TReplayVerdict& verdict = replayToTheEnd();
    EXPECT_TRUE(verdict.diverged) << verdict.message;
    EXPECT_TRUE(std::count(verdict.parts.begin(), verdict.parts.end(), "shell")) << verdict.message;
}

// Pacing reads the clock and sleeps as often as the machine needs; none of that may reach the recording,
// or a replay (which never waits) would read the clock a different number of times.
class ReplayPacing : public ReplayGameTest {};

TEST_F(ReplayPacing, APacedRecordingReplaysUnpacedToTheSameState) {
    setClockSource({}); // the real clock: frames take as long as the pacing makes them
    ASSERT_TRUE(openGraphicsWindow(800, 600, 0, 60, 0));
    recreateGameRecording("paced.kvr");
    auto frames = [](int count) {
        for (int i = 0; i < count; ++i)
            game->frame();
    };
    frames(10);
    tapKey(Key::Enter); // START
    frames(10);
    pressKey(Key::Right);
    frames(40);
    releaseKey(Key::Right);
    frames(10);
    const GameState recordedState = game->state;
    stopRecording();

    const int start = elapsedMillis();
    recreateGameReplaying("paced.kvr");
    const TReplayVerdict& verdict = replayToTheEnd();
    const int replayMillis = elapsedMillis() - start;
    ASSERT_TRUE(openGraphicsWindow(800, 600, 0, 0, 0)); // as every other test expects the display
    EXPECT_FALSE(verdict.diverged) << verdict.message;
    EXPECT_EQ(recordedState, GameState::Play);
    EXPECT_EQ(game->state, GameState::Play);
    RecordProperty("replayMillis", replayMillis);
}

// The edges of a recording's life: made over an empty settings file, cut short, or written to a disk that
// takes nothing more.
class ReplayFileEdges : public ReplayGameTest {};

TEST_F(ReplayFileEdges, ARecordingOverAnEmptySettingsFileReplays) {
    writeText("config.ini", "");
    recreateGameRecording("empty_settings.kvr");
    stepFrames(130);
    stopRecording();
    recreateGameReplaying("empty_settings.kvr");
    const TReplayVerdict& verdict = replayToTheEnd();
    EXPECT_FALSE(verdict.diverged) << verdict.message;
    EXPECT_EQ(verdict.checkpointsMatched, 4) << verdict.message;
}

TEST_F(ReplayFileEdges, AFileCutShortIsRefusedOnTheCommandLine) {
    const std::string recorded = fileText(replayFilePath("game_over.kvr"));
    writeText("cut.kvr", recorded.substr(0, recorded.size() / 2));
    const char* arguments[] = {"kelvanor", "--replay", "cut.kvr"};
    EXPECT_FALSE(applyCommandLine(3, const_cast<char**>(arguments)));
    EXPECT_FALSE(isReplaying());
}

TEST_F(ReplayFileEdges, ARecordingThatCannotBeWrittenEndsTheGameWithStatusTwo) {
    EXPECT_FALSE(startRecording("/dev/full", hashCurrentGame)) << "the header is written through at once";
    EXPECT_FALSE(isRecording());
    // A disk that fills during the run: the file may grow no larger than 8 KiB.
    const auto recordOntoAFullDisk = [this] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 8192;
        setrlimit(RLIMIT_FSIZE, &limit);
        recreateGameRecording("full.kvr");
        stepFrames(6000);
    };
    EXPECT_EXIT(recordOntoAFullDisk(), testing::ExitedWithCode(2), "cannot write the recording full.kvr");
}
