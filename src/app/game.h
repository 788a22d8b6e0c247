// The one game object: owns every long-lived object and the world lists, and runs one state step per
// presented frame. Reached through the program-wide reference `game`.
#pragma once

namespace GameState {
constexpr int Pause = 1;
constexpr int Play = 2;
constexpr int Title = 5;
constexpr int Configuration = 6;
constexpr int LifeLost = 7;
constexpr int GameOver = 8;
constexpr int Credits = 9;
constexpr int Instructions = 10;
} // namespace GameState

extern const char* const versionText;  // "V0.63", also shown on the title page
extern const char* const productTitle; // "Kelvanor "

class TGame {
public:
    static TGame* create();

    // One pass of the frame loop: measure dt, run the current state's step, present.
    void frame();
    void titleScreen(float dt);

    int state = 0;
    float phaseTime = 0;
    int lastFrameTime = 0;
};

extern TGame* game;
