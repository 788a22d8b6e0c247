// The one game object: owns every long-lived object, the loaded pictures and shapes, the menus, the music
// and the six world lists, and runs one state step per presented frame. Every other part of the game
// reaches it through the program-wide reference `game`.
//
// Fields follow the order the game thinks of them in; `create` fills them in a fixed order (pictures,
// shapes, menus, music, sounds, hiscores, grid, director, joypad, craft, backdrop, border, settings).
#pragma once

#include "app/nearby_index.h"
#include "app/world_list.h"
#include "enemies/enemy.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "play/vector.h"

#include <memory>

class TLevelDirector;
class THiscoreTable;
class TJoypad;
class TPlayer;
class TBackdrop;
class TArenaBorder;
class TGrid;
class TShape;
class TMenu;
class TSoundBank;
struct TParticle;
class TSpark;
class TShot;
class TShockwave;
class TPopupText;

// The values are the ones the state hash has always fed; a recording made before plays on.
enum class GameState {
    Pause = 1,
    Play = 2,
    HiscoresPage = 3, // with its watched runs
    Title = 5,
    Configuration = 6,
    LifeLost = 7,
    GameOver = 8,
    Credits = 9,
    Instructions = 10,
};

enum class TitlePhase { Logo = 11, Hiscores = 12 };
// How long the title shows the logo, or the table, before it turns to the other.
constexpr float titlePhaseSeconds = 10.0f;

// The entries of the two menus, by index.
enum class MainMenuEntry { Start, Configuration, Instructions, Credits, Hiscores, Quit };
enum class ConfigMenuEntry { MusicVolume, EffectsVolume, Grid, Control, ConfigureJoypad, TestJoypad, Back };

const TVector& enemyPosition(const TEnemy& enemy);
float enemyRadius(const TEnemy& enemy);
int enemyKind(const TEnemy& enemy);
bool canMeetShots(const TEnemy& enemy); // in shot.cpp
const TVector& sparkPosition(const TSpark& spark);

extern const char* const versionText;  // "V0.63", also shown on the title page
extern const char* const productTitle; // "Kelvanor "

class TGame {
public:
    using ShapeRef = std::shared_ptr<TShape>;

    static TGame* create();

    void frame();
    // The frame without its presentation: dt, the quit and focus checks, the state's step.
    void stepFrame();
    void startRun();
    void updateWorld(float dt);
    void drawWorld();
    void drawHud();
    void drawLogo();
    void titleScreen(float dt);
    void creditsScreen(float dt);
    void instructionsScreen(float dt);
    void configScreen(float dt);
    bool backPressed();
    void loadSettings();
    // False when the file could not be written, or may not be (it was there but unreadable at start).
    bool saveSettings();

    // Front-end pieces shared by the title, configuration, credits, instructions and pause steps.
    // The backdrop: the craft hidden (if asked), a spark burst every second frame, the world passes, the
    // logo.
    void frontEndBackdrop(float dt, bool hideCraft);
    void frontEndBurst();
    // The logo's opacity moves by a fixed step per frame, not per second.
    void fadeLogoIn();
    void fadeLogoOut();
    // The version text in the built-in face, bottom right; the game font is current again afterwards.
    void drawVersionText();
    // The joypad configuration or test screen with its cancel line; Escape closes it.
    void drawJoypadScreen(float dt);
    // Puts the configuration menu's selected setting into effect (after its option changed).
    void applyConfigOption();
    // Draws and runs the configuration menu (the configuration screen's and the pause screen's); BACK
    // leaves for backState.
    void runConfigMenu(GameState backState);

    // The arena rectangle, recomputed from the border position every frame.
    float arenaLeft() const;
    float arenaTop() const;
    // The grid is drawn only while a run is on screen: play, pause, life lost and game over.
    bool gridShown() const;

    // The title menu's START: a new run in play, with the play track.
    void startPlaying();
    // The run is over: out of lives, or past the last level. Readies the name entry.
    void enterGameOver();
    // Saves the settings and ends the process with status 0; a save that failed is first shown as a note
    // for its few seconds (unless the system asked the program to close).
    void quitProgram();
    // A one-line note over whatever is on screen, for a few seconds: a save or a screenshot that failed.
    void showNote(std::string text);
    void drawNote(float dt);
    void switchMusicToPlay();
    void switchMusicToTitle(); // from an abandoned run
    void switchMusicToTitleAfterGameOver();
    // Starts a track from its beginning at the given gain. It waits paused until the gain is set: a start
    // plays at gain 1, and the audio thread may mix in between.
    static void startTrack(const SoundClip& track, const SoundChannel& channel, float gain);
    // Every enemy leaves the lists with its particle: no explosion, no score.
    void removeAllEnemies();
    // Whatever sets an enemy's position outside the particles pass says so here, for enemiesAround.
    void enemyMoved(const TEnemy& enemy) { enemiesAround.moved(enemy); }

    std::shared_ptr<TLevelDirector> levelDirector;
    std::shared_ptr<THiscoreTable> hiscores;
    std::shared_ptr<TJoypad> joypad;
    std::shared_ptr<TPlayer> player;
    std::shared_ptr<TBackdrop> backdrop;
    std::shared_ptr<TArenaBorder> border;
    std::shared_ptr<TGrid> grid;

    Picture glowImage;
    Picture bombIcon;
    Picture lifeIcon;
    Picture enemyIcons;
    Picture titleLogo;
    float logoScale = 0;
    float logoAlpha = 0;

    ShapeRef playerShape;
    ShapeRef shieldShape;
    ShapeRef shotShape;
    ShapeRef borderShape;
    TEnemyShapes enemyShapes;

    TVector burstPoint;
    bool burstToggle = false;

    std::shared_ptr<TMenu> mainMenu;
    std::shared_ptr<TMenu> configMenu;

    std::shared_ptr<TSoundBank> sounds;
    SoundClip titleMusic;
    SoundChannel titleChannel;
    SoundClip playMusic;
    SoundChannel playChannel;
    float musicVolume = 0;

    TWorldList<TParticle> particles{8192};
    TWorldList<TSpark> sparks{8192};
    TWorldList<TShot> shots;
    TWorldList<TEnemy> enemies;
    TWorldList<TShockwave> shockwaves;
    TWorldList<TPopupText> popups;

    // Open during the passes that look for pairs: enemies near shots during the shots pass, sparks near
    // wells and enemies near enemies (wells' pulls, separation) during the enemies pass. Without them (or
    // with useNearbyIndexes off) those passes walk the whole lists, with the same outcome at quadratic
    // cost. Separation moves most of a crowd in every pass, and each move out of its cell costs the index
    // more than a few more entries to pass over in a query: its cells are twice as wide. It looks only at
    // its own kind, so every kind has a grid of its own (the shield's code, 91, shares none).
    TNearbyIndex<TEnemy> enemiesNear{enemyPosition, enemyRadius, canMeetShots};
    TNearbyIndex<TSpark> sparksNear{sparkPosition, nullptr};
    TNearbyIndex<TEnemy, 64, 16> enemiesAround{enemyPosition, nullptr, nullptr, enemyKind};
    bool useNearbyIndexes = true;

    int snakeLimit = 0;
    int snakeCount = 0;
    GameState state = GameState::Title;
    TitlePhase titlePhase = TitlePhase::Logo;
    float phaseTime = 0;
    float deathTime = 0;
    int lastFrameTime = 0;

    std::string noteText;
    float noteTime = 0;
    bool leaveAfterNote = false;
    // The settings file was there but could not be read: this session never replaces it.
    bool settingsUnreadable = false;
    // A pad pulled out in the frame a life was lost, or during the countdown, pauses the play that follows.
    bool padPullPending = false;

private:
    void titleStep(float dt);
    void playStep(float dt);
    void pauseStep(float dt);
    void lifeLostStep(float dt);
    void respawnCraft();
    void gameOverStep(float dt);
};

extern TGame* game;
