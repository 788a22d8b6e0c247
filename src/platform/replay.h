// Recording a run and playing it back, at the platform boundary: everything the game learns from the
// outside world (the clock, the input events, the joypad values, the settings file) is written down as it
// arrives, and a replay hands the same values back in the same order, so the game itself runs unchanged.
// The game's own state hash, taken every 60 frames and at the end, tells whether a replay stayed on the
// recorded path.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One named piece of the game's state and its hash, as the game's hash function gives them.
struct TStateHash {
    std::string part;
    uint64_t hash = 0;
    bool operator==(const TStateHash&) const = default;
};
// Empty while there is no game to hash (before it is created).
using StateHashSource = std::function<std::vector<TStateHash>()>;

// What a replay has found so far.
struct TReplayVerdict {
    bool finished = false;          // the recording has been played to its end, or diverged
    bool diverged = false;          // a checkpoint differed, or the run ended at another frame
    int frame = -1;                 // the first frame whose checkpoint differed
    std::vector<std::string> parts; // the parts of the state that differed there
    int checkpointsMatched = 0;
    std::string message; // one line for a person reading a bug report
};

// Frames between two checkpoints; the end of a recording is always one.
constexpr int ReplayCheckpointFrames = 60;

// Starts writing a recording; false when the file cannot be created. Must come before the game reads the
// clock, the settings or any input it should replay.
bool startRecording(const std::string& path, StateHashSource hashes);
// Writes the final checkpoint and closes the file. The program's exit does this by itself.
void stopRecording();
bool isRecording();

// Loads a recording and makes the platform answer from it; false (with a message on stderr) when the file
// cannot be read. With exitWhenDone the process ends as soon as the verdict is known: status 0 when every
// checkpoint matched, 3 on a divergence.
bool startReplay(const std::string& path, StateHashSource hashes, bool exitWhenDone);
void stopReplay();
bool isReplaying();
const TReplayVerdict& replayVerdict();
