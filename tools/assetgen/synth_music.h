// The music engine of the asset generator: a song is a list of note events on a sixteenth-note grid, rendered
// by a fixed set of instruments into a stereo loop whose end flows back into its start.
#pragma once

#include <cstdint>
#include <vector>

namespace synth {

inline constexpr int kMusicRate = 44100;

enum class TInstrument : std::uint8_t {
    Kick,
    Snare,
    Clap,
    ClosedHat,
    OpenHat,
    Crash,
    Riser,
    Bass,
    Pad,
    Arp,
    Lead,
};
inline constexpr int kInstrumentCount = 11;

struct TNoteEvent {
    TInstrument instrument;
    int start;        // frame of the onset
    int length;       // frames the note is held; most voices ring on a little after it
    float note;       // note number, 69 = A 440 Hz (drums ignore it)
    float velocity;   // 0..1
    float pan;        // -1 left .. 1 right
    float brightness; // 0..1: how far the voice's filter opens
};

// How a song is mixed: its room, its echo and how hard the kick pushes the rest down.
struct TMixSettings {
    int delaySteps = 3;          // echo time in sixteenths (three = a dotted eighth)
    float delayFeedback = 0.35f; //
    float reverbRoom = 0.82f;    // comb feedback, the length of the tail
    float duckDepth = 0.45f;     // how far pads, bass and arps dip under each kick
    float drive = 1.4f;          // into the master soft clipper
    float instrumentGain[kInstrumentCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

struct TSong {
    int samplesPerStep = 0; // one sixteenth note
    int bars = 0;           // four beats of four sixteenths each
    TMixSettings mix;
    std::vector<TNoteEvent> events;

    int framesPerBar() const { return samplesPerStep * 16; }
    int loopFrames() const { return framesPerBar() * bars; }
};

struct TStereoLoop {
    std::vector<float> left;
    std::vector<float> right;
};

// Renders the first `bars` bars of the song (all of it when `bars` is 0) as a loop: everything still sounding
// at the loop's end (held notes, echoes, the room) is folded back onto its start, as it is heard when the
// loop repeats. Samples are in -1..1 with the peak just under full scale.
TStereoLoop renderSong(const TSong& song, int bars = 0);

// The two game tracks.
TSong composeTitleTrack();
TSong composePlayTrack();

} // namespace synth
