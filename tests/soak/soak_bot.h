// A seeded player for soak runs. Each frame it looks at the game as a player looks at the screen and
// answers through the platform's input path (key, text, mouse and joypad input as the backend delivers
// it; the soak links the null backend, whose queue stands in for the devices): it walks the
// title menu and the pages, changes the configuration, sets up the joypad through its dialogue, plays
// with keys and mouse or the joypad, fires, bombs, pauses, switches control mode, enters a name at game
// over, and sometimes abandons the run. It also chooses every frame's length.
//
// The game reads keys as hit counts that wait until something reads them, so the bot never leaves a
// press where nothing reads it before the title menu would: a stray Escape or Enter reaching the title
// ends the program, as it would for a real player.
#pragma once

#include <cstdint>
#include <set>

class TGame;
enum class GameState;
class TEnemy;
class TMenu;
class TVirtualPad;

// The bot's own generator, so that its choices depend on the seed alone, never on the game's.
class TSoakRandom {
public:
    explicit TSoakRandom(uint64_t seed) : state(seed) {}
    uint64_t next();
    int integer(int low, int high); // inclusive
    float real(float low, float high);
    bool chance(double probability);

private:
    uint64_t state;
};

// What the bot did, for the report.
struct TBotTally {
    int framesInPlay = 0;
    int pauses = 0;
    int controlSwitches = 0;
    int joypadSetups = 0;
    int bombs = 0;
    int nameEntries = 0;
    int screenshots = 0;
    int stalls = 0;
};

class TSoakBot {
public:
    // A bot for a kept-alive run plays the whole run: it never abandons it or throws its lives away, and
    // never leaves an Escape in the pause menu for the resumed run to read.
    TSoakBot(uint64_t seed, TVirtualPad& pad, bool keptAlive = false);

    // Sends the input for the coming frame and returns its length in milliseconds.
    int prepareFrame(TGame& game);
    // The run has been played and left: back on the title after game over or an abandoned run.
    bool finished() const { return runLeft; }
    // Past the frame budget: abandon the run at the next chance.
    void cutShort() { abandonNow = true; }
    // Lets go of every key, button and stick, as a player's hands leave the controls.
    void releaseEverything();
    // Whether the Z key was hit this frame; the frame loop saves a screenshot for it.
    bool wantsScreenshot() const { return screenshotAsked; }

    TBotTally tally;

private:
    int frameMillis();
    void onTitle(TGame& game);
    void onPage(TGame& game);
    void onConfiguration(TGame& game, bool paused);
    void onJoypadScreen(TGame& game);
    void onPlay(TGame& game);
    void onPause(TGame& game);
    void onGameOver(TGame& game);

    // Moves the menu cursor one step towards target, or chooses it once it is there and choose is set.
    // True when the choice was sent.
    bool steerMenu(TGame& game, const TMenu& menu, int target, bool choose);
    void changeOption(TGame& game);
    void thrustAndAim(TGame& game);
    void ramNearest(TGame& game, const TEnemy* nearest);
    void typeSomething(TGame& game);

    void holdKeys(const std::set<int>& keys);
    void tapKey(int key);
    void setStick(int mappedAxis, float value);
    void tapPadButton(int button);
    bool padStickUsable(const TGame& game) const;

    TSoakRandom random;
    TVirtualPad& pad;

    GameState lastState{}; // none yet
    int framesInState = 0;
    bool playedOnce = false;
    bool runLeft = false;
    bool abandonNow = false;
    bool screenshotAsked = false;
    bool keptAlive = false;

    // Front-end plan: pages to visit (main menu entries) before START.
    int visitsLeft = 0;
    int visitTarget = -1;
    int lingerFrames = 0;
    // Configuration and pause menus: actions left before leaving.
    int menuActionsLeft = 0;
    int menuTarget = -1;
    // Play.
    int intentFrames = 0;
    float intentX = 0, intentY = 0;
    bool useKeypad = false;
    int abandonAtPlayFrame = -1;
    int giveUpAtPlayFrame = -1; // none: the run plays on until the frame budget
    int playFrames = 0;
    // Game over.
    int charsToType = 0;

    std::set<int> heldKeys;
    bool leftDown = false;
    bool rightDown = false;
    float axes[6] = {};
    int padButtonDown = -1;
    bool stickWasPushed = false;
};
