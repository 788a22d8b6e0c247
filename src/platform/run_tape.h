// The tape of one run: everything the game's input state and clock took from outside between two frame
// boundaries the game chooses (a run's START and its end), kept in memory as compact bytes, and played
// back into the game while the live input goes on arriving beside it, so that a run can be watched in a
// running game and the player can still pause or leave it.
//
// A tape starts from a copy of the input state at its first frame boundary (keys held, hits not yet read,
// the pointer, the pads) and then holds, frame by frame, each clock read as a change from the one before
// and each piece of input with the event pump that delivered it. Its bytes depend on nothing but what the
// game was told: no window size, no byte order, no pointer width.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct TTapeData;

class TRunTape {
public:
    int frames() const;   // frames recorded (each repeat counted)
    size_t bytes() const; // the encoded size
    explicit operator bool() const { return data_ != nullptr; }

    // The encoded form, ready for a file; fromBytes refuses (with a reason) anything it cannot trust:
    // every count, repeat, clock step, slot, axis value and pointer position is range-checked, and memory
    // stays within a small multiple of the bytes given.
    const std::string& encoded() const;
    static TRunTape fromBytes(std::string_view bytes, std::string& problem);

private:
    std::shared_ptr<const TTapeData> data_;
    friend struct TTapeAccess;
};

// Recording. armRunTape starts the tape at the next frame boundary; clockBase is the last clock value the
// game read before it (the frame's own start), so that the first frame's step is the frame's dt.
void armRunTape(int clockBase);
bool runTapeRecording();
// The tape so far (it stops recording); an empty tape when none was recording.
TRunTape finishRunTape();

// Playback. From the next frame boundary the game's input queries and clock answer from the tape; live
// events go to a state of their own, read with the live* queries below. clockBase is where the played
// clock starts.
void playRunTape(const TRunTape& tape, int clockBase);
bool runTapePlaying();
// Frames of the tape played so far; true once the tape has no frame left to give.
int runTapeFramesPlayed();
bool runTapeExhausted();
// While held, the game's input queries answer from the tape's state as it stands and the tape does not
// move: a paused watch draws its frame again without taking the next frame's input.
void holdRunTape(bool held);
// Ends playback: the live input state becomes the game's again, with no key hit pending.
void stopRunTape();

// The game marks the end of each of its frames, just before presenting it (the session replay marks the
// same place).
void runTapeFrameEnded();

// The player's own keys while a tape plays.
int liveKeyHitCount(int code);
bool liveKeyDown(int code);
bool liveQuitRequested();
