// Records the replay files the replay tests play back. Not part of the test suite: run it (from any
// directory) after a change that is meant to change play, and commit the files it writes:
//
//   cmake --build --preset release --target kelvanor_replay_recorder
//   build/tests/kelvanor_replay_recorder            (or --gtest_filter=Recording.Joypad for one file)
//
// Each run is scripted through the test harness's real SDL events while the platform records, and
// steered by looking at the game (towards or away from enemies), so the script itself need not be
// reproducible: only the recording must be.
#include "replays/replay_kit.h"

#include "app/game.h"
#include "enemies/enemy.h"
#include "input/joypad.h"
#include "play/particle.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const TVector& craft() {
    return game->player->particle->position;
}

// The active enemy nearest the craft, if any.
std::optional<TVector> nearestEnemy() {
    std::optional<TVector> nearest;
    float best = 1e9f;
    game->enemies.forEach([&](TEnemy& enemy) {
        if (enemy.state != EnemyState::Active) return;
        const float distance = enemy.particle->position.distanceTo(craft());
        if (distance < best) {
            best = distance;
            nearest = enemy.particle->position;
        }
    });
    return nearest;
}

// Holds the arrow keys that push the craft towards a point, pressing and releasing only on changes as a
// player's fingers would.
class TKeyPilot {
public:
    void steerTowards(const TVector& target) {
        hold(0, target.x < craft().x - 15);
        hold(1, target.x > craft().x + 15);
        hold(2, target.y < craft().y - 15);
        hold(3, target.y > craft().y + 15);
    }
    void letGo() {
        for (int i = 0; i < 4; ++i)
            hold(i, false);
    }

private:
    void hold(int index, bool down) {
        static const int keys[] = {Key::Left, Key::Right, Key::Up, Key::Down};
        if (held[index] == down) return;
        held[index] = down;
        if (down)
            pressKey(keys[index]);
        else
            releaseKey(keys[index]);
    }
    bool held[4] = {};
};

void aimMouseAt(const TVector& target) {
    moveMouse(std::clamp(static_cast<int>(target.x), 0, 799), std::clamp(static_cast<int>(target.y), 0, 599));
}

// A point that circles the arena's middle, for moving about between fights.
TVector circlingPoint(int frame) {
    const float angle = static_cast<float>(frame) * 0.02f;
    return {400 + 180 * std::cos(angle), 300 + 140 * std::sin(angle)};
}

} // namespace

class Recording : public ReplayGameTest {
protected:
    void frame() {
        stepFrames(1, 33); // 30 frames a second: the files and the replays stay short
        ++frameCount;
    }
    void runFrames(int count) {
        for (int i = 0; i < count; ++i)
            frame();
    }

    // Keys and mouse: circles the arena firing at the nearest enemy.
    void fightWithKeys(int count) {
        mouseButton(1, true);
        for (int i = 0; i < count; ++i) {
            pilot.steerTowards(circlingPoint(frameCount));
            if (frameCount % 4 == 0) {
                if (const auto enemy = nearestEnemy()) aimMouseAt(*enemy);
            }
            frame();
        }
        mouseButton(1, false);
    }

    // Keys: flies into the nearest enemy until the craft has lives left, no more.
    void loseLivesWithKeys(int livesLeft, int frameLimit) {
        for (int i = 0; i < frameLimit && (game->player->lives > livesLeft || game->state != GameState::Play);
             ++i) {
            if (game->state == GameState::GameOver) break;
            if (const auto enemy = nearestEnemy())
                pilot.steerTowards(*enemy);
            else
                pilot.steerTowards(circlingPoint(frameCount));
            frame();
        }
        pilot.letGo();
    }

    void keysAndMouseSettings() {
        game->player->controlMode = ControlMode::KeysAndMouse;
        game->saveSettings();
    }

    TKeyPilot pilot;
    int frameCount = 0;
};

TEST_F(Recording, RunWithDeaths) {
    keysAndMouseSettings();
    recreateGameRecording(replayFilePath("deaths.kvr"));
    runFrames(30);
    tapKey(Key::Enter); // START
    runFrames(10);
    fightWithKeys(420);
    loseLivesWithKeys(1, 4000);
    runFrames(60);
    tapKey(Key::Escape); // the run is abandoned
    runFrames(60);
    EXPECT_EQ(game->state, GameState::Title);
    EXPECT_EQ(game->player->lives, 3); // the abandoned run's lives are reset
    stopRecording();
}

TEST_F(Recording, GameOverWithNameEntry) {
    // A table that any run with a kill gets into, below the best entry: the name is asked for alone.
    const int entryCount = static_cast<int>(game->hiscores->entries.size());
    for (int i = 0; i < entryCount; ++i)
        game->hiscores->entries[static_cast<size_t>(i)]->score = i + 1 < entryCount ? 900000 - 1000 * i : 10;
    keysAndMouseSettings();
    recreateGameRecording(replayFilePath("game_over.kvr"));
    runFrames(20);
    tapKey(Key::Enter);
    runFrames(10);
    fightWithKeys(300);
    loseLivesWithKeys(0, 8000);
    for (int i = 0; i < 400 && game->state != GameState::GameOver; ++i)
        frame();
    ASSERT_EQ(game->state, GameState::GameOver);
    ASSERT_GT(game->player->stats.score, 10);
    runFrames(60);
    typeText("vika"); // the name field takes lower-case letters and shows them in capitals
    runFrames(10);
    tapKey(Key::Enter);
    for (int i = 0; i < 60 && game->state != GameState::Title; ++i)
        frame();
    EXPECT_EQ(game->state, GameState::Title);
    runFrames(60);
    stopRecording();
}

TEST_F(Recording, Joypad) {
    TJoypadMapping& mapping = game->joypad->mapping;
    mapping.moveXAxis = 1; // JOY-X
    mapping.moveYAxis = 2; // JOY-Y
    mapping.fireXAxis = 3; // JOY-Z
    mapping.fireYAxis = 4; // JOY-R
    mapping.bombButton = 0;
    mapping.pauseButton = 1;
    mapping.selectButton = 2;
    mapping.backButton = 3;
    game->player->controlMode = ControlMode::Joypad;
    game->saveSettings();
    recreateGameRecording(replayFilePath("joypad.kvr"));
    TVirtualPad pad;
    ASSERT_TRUE(pad.attached());
    auto pressButton = [&](int button) {
        pad.setButton(button, true);
        runFrames(3);
        pad.setButton(button, false);
        runFrames(3);
    };
    runFrames(20);
    pressButton(2); // SELECT on START
    runFrames(10);
    ASSERT_EQ(game->state, GameState::Play);
    for (int i = 0; i < 600; ++i) {
        const TVector towards = circlingPoint(frameCount);
        TVector move{towards.x - craft().x, towards.y - craft().y};
        if (move.length() > 1) move.normalize();
        pad.setAxis(0, move.x);
        pad.setAxis(1, move.y);
        if (const auto enemy = nearestEnemy()) {
            TVector aim{enemy->x - craft().x, enemy->y - craft().y};
            if (aim.length() > 0) aim.normalize();
            pad.setAxis(2, aim.x);
            pad.setAxis(3, aim.y);
        } else {
            pad.setAxis(2, 0);
            pad.setAxis(3, 0);
        }
        if (i == 200) {
            pressButton(1); // pause
            runFrames(30);
            EXPECT_EQ(game->state, GameState::Pause);
            pressButton(1); // and on again
        }
        if (i == 400) pressButton(0); // a bomb
        frame();
    }
    for (int axis = 0; axis < 4; ++axis)
        pad.setAxis(axis, 0);
    runFrames(10);
    tapKey(Key::Escape);
    runFrames(20);
    pad.unplug();
    runFrames(20);
    EXPECT_EQ(game->state, GameState::Title);
    stopRecording();
}
