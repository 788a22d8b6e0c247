// A fresh game with a virtual joystick plugged in as pad 0, for tests of the joypad reader and its
// screens. The stick and buttons are read through the platform exactly as a real pad's would be.
#pragma once

#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "input/joypad.h"

#include <array>
#include <memory>

// The eight mapping values in their stored order, to compare a whole mapping at once.
inline std::array<int, 8> mappingValues(const TJoypadMapping& m) {
    return {m.moveXAxis,  m.moveYAxis,   m.fireXAxis,    m.fireYAxis,
            m.bombButton, m.pauseButton, m.selectButton, m.backButton};
}

class JoypadTest : public GameTest {
protected:
    void SetUp() override {
        useTestDrivers(); // before SDL starts: an offscreen window never has focus for the pad
        GameTest::SetUp();
        if (HasFatalFailure()) return;
        pad = std::make_unique<TVirtualPad>();
        ASSERT_TRUE(pad->attached());
        joypad = game->joypad.get();
        ASSERT_NE(joypad, nullptr);
    }
    void TearDown() override {
        pad.reset();
        GameTest::TearDown();
    }

    void mapSticks(int moveX, int moveY, int fireX, int fireY) {
        joypad->mapping.moveXAxis = moveX;
        joypad->mapping.moveYAxis = moveY;
        joypad->mapping.fireXAxis = fireX;
        joypad->mapping.fireYAxis = fireY;
    }
    void mapButtons(int bomb, int pause, int select, int back) {
        joypad->mapping.bombButton = bomb;
        joypad->mapping.pauseButton = pause;
        joypad->mapping.selectButton = select;
        joypad->mapping.backButton = back;
    }

    std::unique_ptr<TVirtualPad> pad;
    TJoypad* joypad = nullptr;
};

// Platform axis indices of the virtual pad, by the joypad's own axis names.
namespace PadAxis {
constexpr int X = 0, Y = 1, Z = 2, R = 3, U = 4, V = 5;
}
