// What the state-step tests share: a whole game driven through the real keyboard and virtual joypad,
// and a way to lose a life the way play does. Each test runs in an empty directory of its own (the game
// fixture's), so the settings file a step saves is the one the test reads back.
#pragma once

#include "app/game.h"
#include "enemies/enemy_base_kit.h"
#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "input/joypad.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "scores/hiscore_table.h"

#include <string>

// Frames of 100 ms that leave 0.1 s of the 1.5-second life-lost countdown; one more frame ends it.
constexpr int countdownFramesButOne = 14;
constexpr int longFrame = 100;

inline std::string readWholeTextFile(const std::string& path) {
    std::string text;
    const TextFile file = openTextForRead(path);
    if (!file) return text;
    while (!atEndOfFile(file))
        text += readTextLine(file) + "\n";
    return text;
}

// A contact enemy right on the craft: the next frames of play take a life through the real contact test
// (the enemy thinks every second frame; skipFrame true makes the next frame one of them).
inline std::shared_ptr<TTestEnemy> placeEnemyOnCraft() {
    const TVector& craft = game->player->particle->position;
    return addTestEnemy(EnemyKind::Wanderer, craft.x, craft.y);
}

class StatesTest : public GameTest {
protected:
    void SetUp() override {
        useTestDrivers(); // before SDL starts: an offscreen window never has focus for the pad
        GameTest::SetUp();
    }

    // One frame of play in which an enemy touches the craft; the life-lost countdown has just begun.
    // Returns the enemy that did it.
    std::shared_ptr<TTestEnemy> loseALife() {
        game->player->shieldOn = 0;
        auto killer = placeEnemyOnCraft();
        killer->skipFrame = true;
        stepFrames(1);
        EXPECT_EQ(game->state, GameState::LifeLost);
        return killer;
    }

    // The joypad's functions on buttons of their own, so that each can be pressed alone.
    void mapPadButtons() {
        TJoypadMapping& mapping = game->joypad->mapping;
        mapping.bombButton = 1;
        mapping.pauseButton = 2;
        mapping.selectButton = 3;
        mapping.backButton = 4;
    }
    // Down for one frame, then up again for the next, as a quick press would be seen.
    void pressPadButton(TVirtualPad& pad, int button) {
        pad.setButton(button, true);
        stepFrames(1);
        pad.setButton(button, false);
    }

    // The platform reports a started track as playing even while suspended, so only the play track's
    // first start can be told apart this way.
    bool playTrackStarted() const { return isChannelPlaying(game->playChannel) != 0; }
};
