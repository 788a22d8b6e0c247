// TJoypad: turns the raw joypad into what the game needs (a move stick, a fire stick and four buttons)
// through a user-defined mapping, and runs the joypad configuration and test screens.
#pragma once

#include "platform/files.h"
#include "play/vector.h"

#include <memory>
#include <string>

// Axis numbers 0..9 (0 none), button numbers 0..11. Kept in the settings file as the "[JoyPad]" block.
class TJoypadMapping {
public:
    static constexpr int LastAxis = 9;
    static constexpr int LastButton = 11;

    // Writes "[JoyPad]" and the eight values, one a line.
    void write(const TextFile& file) const;
    // Reads the eight value lines that follow the section line. Numbers out of range are pulled into it,
    // and a block cut short leaves the rest of the mapping as it was.
    void read(const TextFile& file);

    int moveXAxis = 0;
    int moveYAxis = 0;
    int fireXAxis = 0;
    int fireYAxis = 0;
    int bombButton = 0;
    int pauseButton = 0;
    int selectButton = 0;
    int backButton = 0;
};

namespace JoypadMode {
constexpr int Hidden = 0;
constexpr int Configuration = 1;
constexpr int Test = 2;
} // namespace JoypadMode

class TJoypad {
public:
    static std::shared_ptr<TJoypad> create();

    void poll(int port);
    void drawScreen();
    void updateScreen(float dt);
    int detectAxis(int port);
    int detectButton(int port);
    static std::string axisName(int number);
    static float readAxis(int number, int port);

    // Presses since the poll before: down now, up then.
    bool pausePressed() const { return pause && !pausePrevious; }
    bool selectPressed() const { return select && !selectPrevious; }
    bool backPressed() const { return back && !backPrevious; }

    TVector move;
    TVector fire;
    int bomb = 0;
    int pause = 0, select = 0, back = 0;
    int pausePrevious = 0, selectPrevious = 0, backPrevious = 0;
    int stickPushed = 0;
    int mode = JoypadMode::Hidden;
    TJoypadMapping mapping;
    int step = 1;
    float pauseTimer = 2.0f;
    int waiting = 0;

private:
    void drawConfigurationPrompt();
    void drawTestPanel();
};
