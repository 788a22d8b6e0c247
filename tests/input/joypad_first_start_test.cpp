// The controls a player meets without having configured anything: the control mode chosen from what is
// plugged in, a pad SDL's game-controller database knows working at once, the keys and mouse taking over
// whenever the joypad mode has no pad, and a pad pulled out in play pausing the game.
#include "app/ui/menu.h"
#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shot.h"
#include "replays/replay_kit.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// Where the game-controller virtual pad has its controls (tests/harness/input_driver.h), in the
// mapping's numbers: left stick X and Y, right stick Z and R.
constexpr std::array<int, 8> DatabaseMapping = {1, 2, 3, 4, 10, 6, 0, 1};

std::array<int, 8> values(const TJoypadMapping& m) {
    return {m.moveXAxis,  m.moveYAxis,   m.fireXAxis,    m.fireYAxis,
            m.bombButton, m.pauseButton, m.selectButton, m.backButton};
}

std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class FirstStartTest : public GameTest {
protected:
    void SetUp() override {
        useTestDrivers(); // before SDL starts: an offscreen window never has focus for the pad
        GameTest::SetUp();
    }
    void TearDown() override {
        pad.reset();
        GameTest::TearDown();
    }

    void plugIn(PadKind kind = PadKind::GameController, const char* name = "Kelvanor Test Pad") {
        pad = std::make_unique<TVirtualPad>(kind, name);
        ASSERT_TRUE(pad->attached());
    }
    void restartGame() {
        delete game;
        game = nullptr;
        createGame();
    }
    TJoypad& joypad() { return *game->joypad; }
    TPlayer& craft() { return *game->player; }
    // A frame of play with the craft still (and shielded, so nothing ends the run), from the centre.
    void recentre() {
        craft().particle->position.set(400, 300);
        craft().particle->velocity.set(0, 0);
        craft().shieldOn = 1;
        craft().shieldTime = 100;
    }

    // The glow lines the craft's drawing adds in play over the same drawing in the pause: the crosshair.
    long crosshairLines() {
        const GameState state = game->state;
        resetRenderStats();
        craft().draw();
        const long inPlay = renderStats().glowLines;
        game->state = GameState::Pause;
        resetRenderStats();
        craft().draw();
        game->state = state;
        return inPlay - renderStats().glowLines;
    }

    std::unique_ptr<TVirtualPad> pad;
};

// --- The control mode at the first start ----------------------------------------------------------------

TEST_F(FirstStartTest, WithoutASettingsFileTheControlModeFollowsWhatIsPluggedIn) {
    // SetUp's game started with no file and no pad.
    EXPECT_EQ(craft().controlMode, ControlMode::KeysAndMouse);
    EXPECT_EQ(game->configMenu->items[3].current, ControlMode::KeysAndMouse); // the menu shows it

    plugIn();
    restartGame();
    EXPECT_EQ(craft().controlMode, ControlMode::Joypad);
    EXPECT_EQ(game->configMenu->items[3].current, ControlMode::Joypad);

    // A file without an "[Input]" section names no mode either.
    writeFile("config.ini", "[Grid]\r\n0\r\n");
    pad->unplug();
    restartGame();
    EXPECT_EQ(craft().controlMode, ControlMode::KeysAndMouse);
}

// A pad the database does not know has no controls until it is mapped: the keys and mouse steer.
TEST_F(FirstStartTest, APadTheDatabaseDoesNotKnowLeavesTheKeysAndMouseInCharge) {
    plugIn(PadKind::PlainJoystick, "Kelvanor Plain Pad");
    restartGame();
    EXPECT_EQ(craft().controlMode, ControlMode::KeysAndMouse);
    EXPECT_TRUE(craft().keysAndMouseSteer());
}

TEST_F(FirstStartTest, ASettingsFileThatNamesAControlModeKeepsIt) {
    writeFile("config.ini", "[Input]\r\n1\r\n");
    restartGame();
    EXPECT_EQ(craft().controlMode, ControlMode::Joypad); // no pad, but the player chose it

    writeFile("config.ini", "[Input]\r\n0\r\n");
    plugIn();
    restartGame();
    EXPECT_EQ(craft().controlMode, ControlMode::KeysAndMouse);
}

// --- Keys and mouse while the joypad mode has no pad ------------------------------------------------------

TEST_F(FirstStartTest, InJoypadModeWithNoPadTheKeysAndMouseSteerAimFireAndBombUntilAPadIsPluggedIn) {
    craft().controlMode = ControlMode::Joypad;
    startPlaying();
    recentre();
    pressKey(Key::Right);
    moveMouse(400, 100); // straight up from the craft
    mouseButton(1, true);
    stepFrames(10);
    EXPECT_TRUE(craft().keysAndMouseSteer());
    EXPECT_GT(craft().particle->velocity.x, 50.0f);
    EXPECT_GT(craft().stats.shotsFired, 0);
    bool shotGoesUp = false;
    game->shots.forEach([&](TShot& shot) { shotGoesUp = shotGoesUp || shot.particle->velocity.y < -500; });
    EXPECT_TRUE(shotGoesUp);

    EXPECT_EQ(crosshairLines(), 2);

    mouseButton(1, false);
    const int bombs = craft().bombs;
    mouseButton(2, true);
    stepFrames(1);
    mouseButton(2, false);
    EXPECT_EQ(craft().bombs, bombs - 1);
    releaseKey(Key::Right);

    // A pad plugged in takes over: the keys no longer push, the stick does.
    plugIn();
    stepFrames(2);
    EXPECT_FALSE(craft().keysAndMouseSteer());
    recentre();
    pressKey(Key::Right);
    pad->setAxis(1, 1.0f); // left stick down
    stepFrames(5);
    releaseKey(Key::Right);
    EXPECT_GT(craft().particle->velocity.y, 50.0f);
    EXPECT_NEAR(craft().particle->velocity.x, 0.0f, 1.0f);
}

TEST_F(FirstStartTest, TheCrosshairStaysHiddenWhileThePadSteers) {
    plugIn();
    restartGame();
    startPlaying();
    moveMouse(600, 450);
    stepFrames(2);
    EXPECT_FALSE(craft().keysAndMouseSteer());
    EXPECT_EQ(crosshairLines(), 0);
    pad->unplug();
    stepFrames(1);
    tapKey(Key::P); // the pull paused the game
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Play);
    EXPECT_EQ(crosshairLines(), 2);
}

// --- A pad the game-controller database knows ------------------------------------------------------------

TEST_F(FirstStartTest, AKnownPadWorksAtOnceThroughItsDatabaseLayout) {
    plugIn();
    restartGame();
    EXPECT_TRUE(joypad().mapping.isUnconfigured());
    EXPECT_EQ(values(joypad().mappingInForce(0)), DatabaseMapping);

    // South (A) on START.
    stepFrames(2);
    pad->setButton(0, true);
    stepFrames(1);
    pad->setButton(0, false);
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Play);

    // Left stick right, right stick up: thrust to the right and shots going up.
    recentre();
    pad->setAxis(0, 0.9f);
    pad->setAxis(3, -0.9f);
    stepFrames(6);
    EXPECT_NEAR(joypad().move.x, 0.9f, 1e-3f);
    EXPECT_NEAR(joypad().move.y, 0.0f, 1e-3f);
    EXPECT_NEAR(joypad().fire.x, 0.0f, 1e-3f);
    EXPECT_NEAR(joypad().fire.y, -0.9f, 1e-3f);
    EXPECT_GT(craft().particle->velocity.x, 50.0f);
    EXPECT_GT(craft().stats.shotsFired, 0);
    pad->setAxis(0, 0);
    pad->setAxis(3, 0);

    // Right shoulder bombs; Start pauses and resumes; B goes back from the pause menu.
    const int bombs = craft().bombs;
    pad->setButton(10, true);
    stepFrames(1); // polled at the end of this frame, acted on in the next
    pad->setButton(10, false);
    stepFrames(1);
    EXPECT_EQ(craft().bombs, bombs - 1);
    pad->setButton(6, true);
    stepFrames(1);
    pad->setButton(6, false);
    EXPECT_EQ(game->state, GameState::Pause);
    stepFrames(1);
    pad->setButton(6, true);
    stepFrames(1);
    pad->setButton(6, false);
    EXPECT_EQ(game->state, GameState::Play);

    // Not written to the file: it stays unconfigured, so another pad later gets its own layout.
    game->saveSettings();
    const std::vector<std::string> lines = fileLines("config.ini");
    ASSERT_EQ(lines.size(), 167u);
    EXPECT_EQ(lines[158], "[JoyPad]");
    for (size_t i = 159; i < 167; ++i)
        EXPECT_EQ(lines[i], "0") << "line " << i;
}

TEST_F(FirstStartTest, AMappingThePlayerConfiguredWinsOverTheDatabase) {
    plugIn();
    restartGame();
    // Sticks swapped and the buttons elsewhere, as a left-handed player might set them.
    TJoypadMapping& m = joypad().mapping;
    m.moveXAxis = 3, m.moveYAxis = 4, m.fireXAxis = 1, m.fireYAxis = 2;
    m.bombButton = 2, m.pauseButton = 3, m.selectButton = 4, m.backButton = 5;
    pad->setAxis(0, 0.8f);   // the database's left stick
    pad->setButton(6, true); // the database's Start
    joypad().poll(0);
    EXPECT_NEAR(joypad().fire.x, 0.8f, 1e-3f);
    EXPECT_NEAR(joypad().move.x, 0.0f, 1e-3f);
    EXPECT_EQ(joypad().pause, 0);
    pad->setButton(3, true);
    joypad().poll(0);
    EXPECT_EQ(joypad().pause, 1);

    game->saveSettings();
    const std::vector<std::string> lines = fileLines("config.ini");
    ASSERT_EQ(lines.size(), 167u);
    const std::vector<std::string> stored(lines.begin() + 159, lines.end());
    EXPECT_EQ(stored, (std::vector<std::string>{"3", "4", "1", "2", "2", "3", "4", "5"}));
}

TEST_F(FirstStartTest, TheDialogueStartsFromTheDatabaseLayoutAndTheTestScreenShowsIt) {
    plugIn();
    restartGame();
    // The test screen polls through the layout.
    joypad().mode = JoypadMode::Test;
    pad->setAxis(2, -0.7f);
    joypad().updateScreen(0.016f);
    EXPECT_NEAR(joypad().fire.x, -0.7f, 1e-3f);
    pad->setAxis(2, 0);

    // One capture, then the dialogue is left: the rest of the layout stays, now the player's own.
    joypad().mode = JoypadMode::Configuration;
    joypad().step = 1;
    pad->setAxis(4, 0.7f); // U
    joypad().updateScreen(0.016f);
    joypad().mode = JoypadMode::Hidden;
    EXPECT_EQ(values(joypad().mapping), (std::array<int, 8>{8, 2, 3, 4, 10, 6, 0, 1}));
    EXPECT_FALSE(joypad().mapping.isUnconfigured());
}

TEST_F(FirstStartTest, ALayoutTheMappingCannotExpressLeavesThePadUnconfigured) {
    plugIn(PadKind::PlainJoystick, "Kelvanor Plain Pad");
    const std::string guid = pad->guid();
    joypad().poll(0);
    EXPECT_FALSE(padLayout(0).known);
    EXPECT_TRUE(joypad().mappingInForce(0).isUnconfigured()); // unknown to the database

    const std::string sticks = "leftx:a0,lefty:a1,rightx:a2,righty:a3,";
    const std::string buttons = "a:b0,b:b1,rightshoulder:b5,";
    struct TCase {
        std::string bindings;
        bool usable;
    };
    const std::vector<TCase> cases = {
        {sticks + buttons + "start:b11,", true},
        {sticks + buttons + "start:b12,", false},                                  // beyond button 11
        {"leftx:a0,lefty:a1,rightx:a6,righty:a3," + buttons + "start:b4,", false}, // beyond axis V
        {sticks + "a:b0,b:b1,rightshoulder:h0.2,start:b4,", false},                // on a hat
        {sticks + "a:b0,b:b1,start:b4,", false},                                   // no right shoulder
        {"leftx:a0,lefty:a1," + buttons + "start:b4,", false},                     // no right stick
    };
    for (const TCase& c : cases) {
        ASSERT_TRUE(addControllerMapping(guid + ",Kelvanor Plain Pad," + c.bindings));
        pad.reset();
        plugIn(PadKind::PlainJoystick, "Kelvanor Plain Pad");
        pad->setAxis(0, 0.75f);
        stepFrames(1);
        const TJoypadMapping m = joypad().mappingInForce(0);
        EXPECT_EQ(!m.isUnconfigured(), c.usable) << c.bindings;
        EXPECT_NEAR(joypad().move.x, c.usable ? 0.75f : 0.0f, 1e-3f) << c.bindings;
        if (c.usable) {
            EXPECT_EQ(values(m), (std::array<int, 8>{1, 2, 3, 4, 5, 11, 0, 1}));
        }
    }
}

TEST_F(FirstStartTest, AGameControllerDatabaseFileBesideTheGameIsRead) {
    plugIn(PadKind::PlainJoystick, "Kelvanor File Pad");
    const std::string guid = pad->guid();
    pad.reset();
    writeFile("gamecontrollerdb.txt", "# a player's own pads\n" + guid +
                                          ",Kelvanor File Pad,a:b2,b:b3,start:b9,rightshoulder:b7,leftx:a4,"
                                          "lefty:a5,rightx:a0,righty:a1,platform:Linux,\n");
    ASSERT_TRUE(initPlatform()); // the file is read as the platform starts
    plugIn(PadKind::PlainJoystick, "Kelvanor File Pad");
    stepFrames(1);
    EXPECT_EQ(values(joypad().mappingInForce(0)), (std::array<int, 8>{8, 9, 1, 2, 7, 9, 2, 3}));
}

// --- Plugging in and pulling out --------------------------------------------------------------------------

TEST_F(FirstStartTest, APadPulledOutInPlayPausesAndOnePluggedBackInIsKnownAgain) {
    plugIn();
    restartGame();
    startPlaying();
    stepFrames(2);
    ASSERT_EQ(game->state, GameState::Play);
    pad->unplug();
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Pause);
    // P resumes, and the keys and mouse steer meanwhile.
    tapKey(Key::P);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Play);
    EXPECT_TRUE(craft().keysAndMouseSteer());

    plugIn();
    stepFrames(2);
    EXPECT_EQ(game->state, GameState::Play); // plugging in does not pause
    EXPECT_FALSE(craft().keysAndMouseSteer());
    EXPECT_EQ(values(joypad().mappingInForce(0)), DatabaseMapping);
    recentre();
    pad->setAxis(0, -1.0f);
    stepFrames(5);
    EXPECT_LT(craft().particle->velocity.x, -50.0f);
}

// The pull is seen by one poll only: one during the life-lost countdown pauses the play that follows.
TEST_F(FirstStartTest, APadPulledOutDuringTheCountdownPausesThePlayThatFollows) {
    plugIn();
    restartGame();
    startPlaying();
    stepFrames(2);
    ASSERT_EQ(game->state, GameState::Play);
    recentre();
    game->state = GameState::LifeLost; // as the craft's death leaves it
    game->deathTime = 0.5f;
    pad->unplug();
    stepFrames(5);
    EXPECT_EQ(game->state, GameState::LifeLost);
    stepFrames(40);
    EXPECT_EQ(game->state, GameState::Pause);
}

TEST_F(FirstStartTest, APadPulledOutWhileTheKeysAndMouseSteerDoesNotPause) {
    plugIn();
    restartGame();
    craft().controlMode = ControlMode::KeysAndMouse;
    startPlaying();
    stepFrames(2);
    pad->unplug();
    stepFrames(2);
    EXPECT_EQ(game->state, GameState::Play);

    // Nor does one pulled out on the title screen pause the run started later.
    craft().controlMode = ControlMode::Joypad;
    tapKey(Key::Escape);
    stepFrames(1);
    ASSERT_EQ(game->state, GameState::Title);
    plugIn();
    stepFrames(2);
    pad->unplug();
    stepFrames(2);
    startPlaying();
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::Play);
}

} // namespace

// --- Recordings -------------------------------------------------------------------------------------------

namespace {

class PadRecordingTest : public ReplayGameTest {};

// The pad's presence and its database layout are outside input like any other: a run recorded with a
// known pad and no settings file replays where no pad is plugged in at all.
TEST_F(PadRecordingTest, APadsPresenceAndLayoutAreRecordedAndReplayed) {
    auto pad = std::make_unique<TVirtualPad>();
    ASSERT_TRUE(pad->attached());
    stepFrames(1); // the pad has arrived before the recording starts
    recreateGameRecording("pad.kvr");
    EXPECT_EQ(game->player->controlMode, ControlMode::Joypad);
    stepFrames(5);
    pad->setButton(0, true); // A on START
    stepFrames(2);
    pad->setButton(0, false);
    stepFrames(2);
    ASSERT_EQ(game->state, GameState::Play);
    pad->setAxis(0, 1.0f);
    pad->setAxis(2, -1.0f);
    stepFrames(20);
    pad->unplug(); // pauses
    stepFrames(3);
    ASSERT_EQ(game->state, GameState::Pause);
    pressKey(Key::Left); // the keys steer once P resumes
    tapKey(Key::P);
    stepFrames(10);
    releaseKey(Key::Left);
    stepFrames(2);
    const float recordedX = game->player->particle->position.x;
    stopRecording();

    std::ifstream in("pad.kvr");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(" pa 0\n"), std::string::npos);
    EXPECT_NE(text.find(" pl 0 0 1 2 3 10 6 0 1\n"), std::string::npos);
    EXPECT_NE(text.find(" pr 0\n"), std::string::npos);

    recreateGameReplaying("pad.kvr");
    EXPECT_EQ(game->player->controlMode, ControlMode::Joypad);
    const TReplayVerdict& verdict = replayToTheEnd(2000);
    EXPECT_FALSE(verdict.diverged) << verdict.message;
    EXPECT_GT(verdict.checkpointsMatched, 0);
    EXPECT_EQ(game->player->particle->position.x, recordedX);
}

} // namespace
