// Every run is recorded, kept beside the settings, watched from the HISCORES page and verified: scripted
// runs played through the real input path, their files read back, played again in a fresh game, and one
// input changed to show that a run that does not end in its record is refused at a named frame.
#include "app/run_file.h"
#include "app/run_recording.h"
#include "app/settings/run_store.h"
#include "app/ui/hiscores_page.h"
#include "app/ui/menu.h"
#include "app/watch_run.h"
#include "platform/input_events.h"
#include "play/player.h"
#include "states_kit.h"

#include <cctype>
#include <functional>

namespace {

class RunRecordingTest : public StatesTest {
protected:
    // A table whose lowest entry is -1, so that any run that ends enters it; the rest stand at 1000.
    void useTableOpenToAll() {
        for (const auto& entry : game->hiscores->entries)
            *entry = *TScoreRecord::create("VEK", 1000, "HI");
        game->hiscores->entries.back()->score = -1;
        game->hiscores->sort();
        game->player->controlMode = ControlMode::KeysAndMouse;
    }
    // As the frame loop runs: the screenshot key's read, then the frame.
    void loopFrames(int count, int millis = 16) {
        for (int i = 0; i < count; ++i) {
            keyHitCount(Key::Z);
            clockMillis += millis;
            game->frame();
        }
    }
    void chooseFromTitle(MainMenuEntry entry) {
        while (game->mainMenu->selectedEntry<MainMenuEntry>() != entry) {
            tapKey(Key::Down);
            loopFrames(1);
        }
        tapKey(Key::Enter);
        loopFrames(1);
    }
    // START, some steering and firing, then out: Escape abandons; otherwise the enemies take the three
    // lives and the name is typed at the game over.
    TRun playScriptedRun(bool abandon, const std::string& name = "ACE", std::function<void()> midRun = {}) {
        chooseFromTitle(MainMenuEntry::Start);
        moveMouse(600, 200);
        pressKey(Key::Right);
        mouseButton(1, true);
        loopFrames(40);
        releaseKey(Key::Right);
        pressKey(Key::Up);
        loopFrames(30, 20);
        releaseKey(Key::Up);
        mouseButton(1, false);
        if (midRun) midRun();
        loopFrames(20);
        if (abandon) {
            tapKey(Key::Escape);
            loopFrames(2);
        } else {
            // The enemies end it, through the game's own contact test, while the craft sits still.
            for (int frame = 0; frame < 20000 && game->state != GameState::GameOver; ++frame)
                loopFrames(1, 50);
            EXPECT_EQ(game->state, GameState::GameOver);
            std::string typed = name;
            for (char& c : typed)
                c = static_cast<char>(
                    std::tolower(static_cast<unsigned char>(c))); // shifted letters are ignored
            typeText(typed);
            tapKey(Key::Enter);
            loopFrames(static_cast<int>(name.size()) + 3);
        }
        EXPECT_EQ(game->state, GameState::Title);
        return takeFinishedRun();
    }
    // The run read back from its file text, played in a game created afresh.
    TRunVerdict verifyInFreshGame(const std::string& text) {
        std::string problem;
        const auto run = runFromText(text, problem);
        EXPECT_TRUE(run) << problem;
        if (!run) return {};
        delete game;
        createGame();
        return verifyRun(*run);
    }
};

TEST_F(RunRecordingTest, ARecordedRunVerifiesFromItsFileAndOneChangedInputDoesNot) {
    struct TCase {
        const char* what;
        bool abandon;
    };
    for (const TCase& c : {TCase{"abandoned", true}, TCase{"to game over with a name", false}}) {
        SCOPED_TRACE(c.what);
        delete game; // the last case's verification left its game in the middle of a run
        createGame();
        useTableOpenToAll();
        const TRun run = playScriptedRun(c.abandon);
        ASSERT_GT(run.frames, 80);
        EXPECT_EQ(run.result.name, c.abandon ? "" : "ACE");
        EXPECT_LT(run.tape.bytes(), 4000u); // a few bytes a frame
        const std::string text = runFileText(run);
        const TRunVerdict verdict = verifyInFreshGame(text);
        EXPECT_TRUE(verdict.matched) << verdict.reason;
        EXPECT_EQ(verdict.result, run.result);
        EXPECT_EQ(verdict.frames, run.frames);

        // The Right key turned into Left: the same file, one input changed. Its bytes are the input's
        // kind, its pump, then the scancode.
        std::string problem;
        TRun changed = *runFromText(text, problem);
        std::string tape = changed.tape.encoded();
        const char keyDown = 0; // the tape's first kind of input
        const size_t at = tape.find(std::string{keyDown, 0, static_cast<char>(Scancode::Right)});
        ASSERT_NE(at, std::string::npos);
        tape[at + 2] = static_cast<char>(Scancode::Left);
        changed.tape = TRunTape::fromBytes(tape, problem);
        const TRunVerdict refused = verifyInFreshGame(runFileText(changed));
        EXPECT_FALSE(refused.matched);
        EXPECT_GE(refused.frame, 0);
        EXPECT_NE(refused.reason.find("frame " + std::to_string(refused.frame)), std::string::npos)
            << refused.reason;
    }
}

// The joypad reader, caught in the middle of its dialogue with every field set, leaves in a run file's
// start and comes back whole, field for field, and into the game when the run is applied.
TEST_F(RunRecordingTest, TheJoypadReaderARunCarriesComesBackWholeFromItsFile) {
    useTableOpenToAll();
    TRun run = playScriptedRun(true);
    TJoypad& pad = run.start.pad;
    pad.mapping = TJoypadMapping{1, 2, 3, 4, 5, 6, 7, 8};
    pad.move = {0.5f, -0.25f}, pad.fire = {-1, 0.75f};
    pad.bomb = pad.select = pad.pausePrevious = pad.backPrevious = true;
    pad.pause = pad.back = pad.selectPrevious = pad.stickPushed = false;
    pad.mode = JoypadMode::Configuration, pad.step = 5, pad.waiting = true, pad.pauseTimer = 1.25f;
    pad.connected = false, pad.connectedPrevious = true;
    const std::string text = runFileText(run);
    std::string problem;
    const auto back = runFromText(text, problem);
    ASSERT_TRUE(back) << problem;
    EXPECT_EQ(runFileText(*back), text); // a field read into another's place would be written elsewhere
    back->start.apply(*game, true);
    const TJoypad& applied = *game->joypad;
    EXPECT_EQ(applied.mapping.backButton, 8);
    EXPECT_TRUE(applied.move.equals({0.5f, -0.25f}));
    EXPECT_TRUE(applied.bomb && applied.backPrevious && !applied.stickPushed && applied.waiting);
    EXPECT_EQ(applied.mode, JoypadMode::Configuration);
    EXPECT_EQ(applied.step, 5);
    EXPECT_EQ(applied.pauseTimer, 1.25f);
    EXPECT_TRUE(applied.connectedPrevious && !applied.connected);
}

TEST_F(RunRecordingTest, DamagedRunFilesAreRefusedWithAReason) {
    useTableOpenToAll();
    const std::string text = runFileText(playScriptedRun(true));
    const size_t tapeLine = text.find("\ntape ");
    struct TCase {
        const char* what;
        std::string text;
    };
    const TCase cases[] = {
        {"cut short", text.substr(0, text.size() / 2)},
        {"without its end", text.substr(0, text.rfind("end\n"))},
        {"another version", "kelvanor-run 2" + text.substr(text.find('\n'))},
        {"a table line missing",
         text.substr(0, text.find("table ")) + text.substr(text.find('\n', text.find("table ")) + 1)},
        {"a tape byte more",
         text.substr(0, tapeLine) + "\ntape 99999999" + text.substr(text.find('\n', tapeLine + 1))},
        {"a level out of range",
         "kelvanor-run 1\n" + text.substr(text.find("result"), text.find("level") - text.find("result")) +
             "level 0" + text.substr(text.find('\n', text.find("level")))},
    };
    for (const TCase& c : cases) {
        std::string problem;
        EXPECT_FALSE(runFromText(c.text, problem)) << c.what;
        EXPECT_FALSE(problem.empty()) << c.what;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << c.what;
    }
}

TEST_F(RunRecordingTest, TheTablesRunsComeAndGoWithTheirEntries) {
    useTableOpenToAll();
    // An old table without runs: its entries show, and say there is nothing to watch.
    chooseFromTitle(MainMenuEntry::Hiscores);
    ASSERT_EQ(game->state, GameState::HiscoresPage);
    tapKey(Key::Enter);
    loopFrames(1);
    EXPECT_EQ(hiscoresPageNote(), "NO RUN KEPT FOR THIS ENTRY");
    EXPECT_FALSE(watchingRun());
    tapKey(Key::Escape);
    loopFrames(1);

    const TRun first = playScriptedRun(false, "ONE");
    EXPECT_EQ(pathKind(runPathFor(first.result)), 1);
    EXPECT_EQ(pathKind(RunStore::LastRunPath), 1);
    // The next run scores more and pushes the first out of the table, and its file with it.
    // Not from input: this run will not verify, and need not here.
    const TRun second = playScriptedRun(false, "TWO", [] { game->player->stats.score = 5; });
    EXPECT_EQ(second.result.score, 5);
    EXPECT_EQ(pathKind(runPathFor(first.result)), 0);
    EXPECT_EQ(pathKind(runPathFor(second.result)), 1);
}

TEST_F(RunRecordingTest, ThePagesKeysWatchTheChosenRunToItsEnd) {
    useTableOpenToAll();
    const TRun kept = playScriptedRun(false, "ONE");
    const int lastRow = THiscoreTable::Size;
    struct TCase {
        const char* what;
        bool fast; // LAST RUN with Right held, or the entry's row at its own pace
    };
    const TCase cases[] = {{"the entry's row", false}, {"LAST RUN, held at four times", true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        chooseFromTitle(MainMenuEntry::Hiscores);
        // Down to the entry that holds the run, wherever the sort put it.
        int row = 0;
        while (game->hiscores->entries[static_cast<size_t>(row)]->name != "ONE")
            ++row;
        for (int i = hiscoresPageRow(); i != (c.fast ? lastRow : row); i = (i + 1) % (lastRow + 1)) {
            tapKey(Key::Down);
            loopFrames(1);
        }
        tapKey(Key::Enter);
        loopFrames(1);
        ASSERT_TRUE(watchingRun());
        if (c.fast) pressKey(Key::Right);
        int presented = 0;
        while (watchingRun() && presented < kept.frames + 10) {
            loopFrames(1);
            ++presented;
        }
        if (c.fast) releaseKey(Key::Right);
        EXPECT_FALSE(watchingRun());
        EXPECT_EQ(game->state, GameState::HiscoresPage);
        EXPECT_EQ(hiscoresPageNote(), "");
        EXPECT_LE(presented, c.fast ? kept.frames / 4 + 2 : kept.frames + 1);
        // The player's table is the player's again: the watched entry went into the run's own.
        EXPECT_EQ(game->hiscores->entries[static_cast<size_t>(row)]->name, "ONE");
        tapKey(Key::Escape);
        loopFrames(1);
    }
}

} // namespace
