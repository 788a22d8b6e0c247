// Every run is recorded: from the frame after START to the frame that leaves it (game over left, or the
// run abandoned), the game keeps what the run's outcome depends on. The platform's run tape holds the
// clock and the input; this module holds the game's side: the state that carries into a run and shapes
// it (the generator, the play-shaping settings and mapping, the pad's edge flags, the hiscore table that
// decides the game-over screen, the name offered again, and anything still flying from before), the
// state checks taken every 60 frames, and the record the run ended with.
//
// The same module plays a run back into the game and checks it against what it claims, for the watch
// page and for a headless verification alike.
#pragma once

#include "input/joypad.h"
#include "platform/run_tape.h"
#include "play/vector.h"
#include "scores/score_record.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TGame;

// A particle's numbers, for the shots and waves a run starts with.
struct TParticleState {
    TVector position, previousPosition, acceleration, velocity;
    float maxSpeed = 0, damping = 1;
    bool keepsMargin = false;
};

struct TShotState {
    float life = 0;
    TParticleState particle;
};

struct TWaveState {
    float radius = 0, maxRadius = 0, alpha = 1;
    int destroysEnemies = 0;
    bool isActiveBomb = false;
    TParticleState particle;
};

// A score text still shrinking: each one draws its colour from the generator every frame.
struct TPopupState {
    std::string text;
    float x = 0, y = 0, scale = 1;
};

// A spawn pattern's progress, which a run start leaves as the last run left it.
struct TPatternState {
    int phase = 0, choice = 0, remaining = 0, groupLimit = 0;
    float waitTime = 0, stepTime = 0;
    TVector spawnPoint;
};

// The result fields of a score record: what the table keeps and a run file claims.
struct TRecordResult {
    std::string name, brag;
    int score = 0;
    std::array<int, TScoreRecord::KindCount> kills{};
    int shotsFired = 0, shotsHit = 0;
    bool operator==(const TRecordResult&) const = default;

    static TRecordResult of(const TScoreRecord& record);
    void copyInto(TScoreRecord& record) const;
};

// The game's state that carries from one run into the next and changes what happens in it.
struct TCarriedState {
    int32_t randomState = 1;
    std::array<int, 4> options{}; // the configuration menu's music, effects, grid and control options
    int configSelected = 0;
    int joyPort = 0;
    // The joypad reader whole: its mapping, sticks, edge flags and dialogue all shape play.
    TJoypad pad;
    // The craft's timers that a run start leaves alone.
    float fireDelay = 0, blinkTime = 0;
    // The world's scroll as the frame before the run left it: the run's first frame moves by it.
    TVector scroll;
    // The craft's and the border's particles: a run start sets where they are, not where they came from.
    TParticleState craft, border;
    // The name entry: the step and the texts offered again.
    int entryStep = 0;
    std::string nameInput, bragInput;
    std::array<TRecordResult, 10> table;
    std::vector<TPatternState> patterns;
    std::vector<TShotState> shots;
    std::vector<TWaveState> waves;
    std::vector<TPopupState> popups;

    static TCarriedState capture(const TGame& g, bool withFlyingObjects);
    // keepVolumes: the two volume options stay the player's own (a watched run is heard at the
    // watcher's volume).
    void apply(TGame& g, bool keepVolumes) const;
};

// One state check: the parts of the game's state a run's outcome depends on, hashed.
struct TRunCheck {
    int frame = 0;
    std::array<uint32_t, 5> parts{};
    bool operator==(const TRunCheck&) const = default;
};
extern const std::array<const char*, 5> RunCheckParts;
constexpr int RunCheckFrames = 60;

struct TRun {
    TCarriedState start;
    TRunTape tape;
    std::vector<TRunCheck> checks;
    TRecordResult result;
    int level = 0;  // reached
    int frames = 0; // played, the last being the one that left the run
};

// --- Recording (the game calls these) -----------------------------------------------------------------

// START was chosen in this frame; the run starts with the next one.
void runStarted();
// startRun is about to reset the run (game over left, or abandoned): the run's result is final.
void runLeaving();
// The frame is about to be presented; checks and ends recordings and playbacks.
void runFrameEnded();
// The last run recorded in full, taken (empty afterwards); frames is 0 when there is none.
TRun takeFinishedRun();
// Every run finished from now on goes here as well (the soak keeps them all); empty to stop.
void setRunFinishedHandler(void (*handler)(const TRun& run));

// --- Playback --------------------------------------------------------------------------------------------

struct TRunVerdict {
    bool ended = false;   // the playback is over (matched, diverged or run out)
    bool matched = false; // it ended in the record, level and frame the run claims
    int frame = -1;       // a mismatch: the frame where it showed first
    std::string reason;   // a mismatch, in a line
    TRecordResult result; // what the playback ended with
    int level = 0;
    int frames = 0;
};

// Puts the run's start into the game (which is between frames, on a front-end page) and plays its tape
// from the next frame on. The caller has kept whatever of its own state it wants back.
void startRunPlayback(TGame& g, const TRun& run);
bool runPlaybackActive();
const TRunVerdict& runPlaybackVerdict();
void stopRunPlayback();

// Plays the run in the game object now current, headless and unpaced, to its end: the code behind
// --verify and the soak's check. beforeFrame, when given, runs before every frame as it did while the
// run was recorded (the soak keeps some runs alive through the game's own fields).
TRunVerdict verifyRun(const TRun& run, void (*beforeFrame)(TGame&) = nullptr);
