// TJoypad: turns the raw joypad into what the game needs (a move stick, a fire stick and four buttons)
// through a user-defined mapping, and runs the joypad configuration and test screens.
#pragma once

#include "platform/files.h"
#include "play/vector.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

struct TPadLayout;

// Axis numbers 0..9 (0 none), button numbers 0..11. Kept in the settings file as the "[JoyPad]" block.
class TJoypadMapping {
public:
    static constexpr int LastAxis = 9;
    static constexpr int LastButton = 11;
    // The mapping's numbers of the platform's driven axes X, Y, Z, R, U, V (platform axes 0..5). The rest,
    // pitch, roll and yaw, would be angles, which the platform has none of: they can still be chosen and
    // simply never move.
    static constexpr std::array<int, 6> PlatformAxisNumbers = {1, 2, 3, 4, 8, 9};

    // Writes "[JoyPad]" and the eight values, one a line.
    void write(const TextFile& file) const;
    // Reads the eight value lines that follow the section line. Numbers out of range are pulled into it,
    // and a block cut short leaves the rest of the mapping as it was.
    void read(const TextFile& file);

    // All zeros: what a player who never ran the configuration dialogue has stored.
    bool isUnconfigured() const;
    // A known pad's layout in the mapping's own numbers (left stick moves, right stick fires, right
    // shoulder bombs, Start pauses, the south button selects, the east one goes back). None when the
    // pad is unknown or one of those controls lies where a mapping cannot point (an axis beyond V, a
    // button beyond 11, a hat): a half-working pad would be worse than the dialogue.
    static std::optional<TJoypadMapping> fromLayout(const TPadLayout& layout);

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
    // This frame reads as a fresh press of select, whatever the button does.
    void pressSelect() {
        select = true;
        selectPrevious = false;
    }
    // The pad was there at the poll before and is gone now.
    bool pulledOut() const { return connectedPrevious && !connected; }
    // The mapping the polls read through: the stored one, unless that is still unconfigured and the pad
    // is one SDL's game-controller database knows.
    TJoypadMapping mappingInForce(int port) const;

    TVector move;
    TVector fire;
    bool bomb = false;
    bool pause = false, select = false, back = false;
    bool pausePrevious = false, selectPrevious = false, backPrevious = false;
    bool stickPushed = false;
    int mode = JoypadMode::Hidden;
    TJoypadMapping mapping;
    int step = 1;
    float pauseTimer = 2.0f;
    bool waiting = false;
    // Whether a pad is plugged in at the game's port, at the latest poll and the one before.
    bool connected = false, connectedPrevious = false;

private:
    void drawConfigurationPrompt();
    void drawTestPanel();
};
