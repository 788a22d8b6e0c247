// The two music tracks: their chords, grooves, melodies and arrangement, and the writer that stores them.
//
// Contents:
//   TComposer            - places notes on the sixteenth grid: hits, drum patterns, chords, arpeggios,
//   melodies composeTitleTrack    - calm, half-time, A minor, 96 beats a minute, 36 bars (about 90 s)
//   composePlayTrack     - driving four-to-the-floor, E minor, 138 beats a minute, 80 bars (about 139 s)
//   writeMusicAssets     - renders and encodes both, one thread each
//
// Both tracks loop: each ends in the texture it starts with, on a chord that leads back to its first, and the
// renderer folds the ringing end over the start.
#include "generated_assets.h"
#include "output_file.h"
#include "synth_math.h"
#include "synth_music.h"
#include "synth_vorbis.h"

#include <exception>
#include <initializer_list>
#include <stdexcept>
#include <thread>

namespace synth {

namespace {

struct TChord {
    int root; // note number of the root, in any octave
    int count;
    int intervals[5];

    bool operator==(const TChord& other) const {
        if (root != other.root || count != other.count) return false;
        for (int i = 0; i < count; ++i) {
            if (intervals[i] != other.intervals[i]) return false;
        }
        return true;
    }
};

struct TMelodyNote {
    double step;   // sixteenths from the start of the phrase
    double length; // sixteenths
    int note;
};

// Tones of a chord folded into one octave from `low`, lowest first: successive chords then move by small
// steps instead of jumping, which is what keeps a pad smooth.
std::vector<int> voicing(const TChord& chord, int low) {
    std::vector<int> notes;
    for (int i = 0; i < chord.count; ++i) {
        int note = chord.root + chord.intervals[i];
        while (note < low)
            note += 12;
        while (note >= low + 12)
            note -= 12;
        notes.push_back(note);
    }
    for (std::size_t i = 1; i < notes.size(); ++i) {
        for (std::size_t j = i; j > 0 && notes[j] < notes[j - 1]; --j)
            std::swap(notes[j], notes[j - 1]);
    }
    return notes;
}

int rootIn(const TChord& chord, int low) {
    int note = chord.root;
    while (note < low)
        note += 12;
    while (note >= low + 12)
        note -= 12;
    return note;
}

class TComposer {
public:
    TComposer(TSong& song, std::uint32_t seed) : song(song), humanise(seed) {}

    int frameAt(int bar, double step) const {
        return static_cast<int>(std::floor((bar * 16.0 + step) * song.samplesPerStep + 0.5));
    }

    void note(TInstrument instrument, int bar, double step, double lengthSteps, double noteNumber,
              double velocity, double pan = 0.0, double brightness = 0.5) {
        const int start = frameAt(bar, step);
        const int length = frameAt(bar, step + lengthSteps) - start;
        song.events.push_back({instrument, start, length, static_cast<float>(noteNumber),
                               static_cast<float>(velocity), static_cast<float>(pan),
                               static_cast<float>(brightness)});
    }

    void hit(TInstrument instrument, int bar, double step, double velocity, double pan = 0.0) {
        note(instrument, bar, step, 1.0, 60.0, velocity, pan);
    }

    // One bar of a drum line: 'X' accent, 'x' normal, 'o' ghost, anything else a rest. Hats get a little
    // velocity drift so a long stretch of sixteenths does not sound like a machine gun.
    void pattern(TInstrument instrument, int bar, const char* steps, double velocity, double pan = 0.0,
                 double drift = 0.0) {
        for (int step = 0; step < 16 && steps[step] != '\0'; ++step) {
            double level = 0.0;
            if (steps[step] == 'X') level = 1.0;
            if (steps[step] == 'x') level = 0.75;
            if (steps[step] == 'o') level = 0.4;
            if (level == 0.0) continue;
            hit(instrument, bar, step, velocity * level * (1.0 - drift * humanise.unit()), pan);
        }
    }

    void pad(const TChord& chord, int bar, double lengthSteps, double velocity, double brightness) {
        const std::vector<int> notes = voicing(chord, 57);
        for (std::size_t i = 0; i < notes.size(); ++i) {
            // Spread the chord across the stereo field.
            const double pan =
                notes.size() > 1 ? -0.6 + 1.2 * static_cast<double>(i) / (notes.size() - 1) : 0.0;
            note(TInstrument::Pad, bar, 0.0, lengthSteps, notes[i], velocity, pan, brightness);
        }
        // The root an octave down gives the pad a floor.
        note(TInstrument::Pad, bar, 0.0, lengthSteps, rootIn(chord, 45), velocity * 0.7, 0.0, brightness);
    }

    // Arpeggio over the chord's tones across two octaves; `order` indexes those tones, one per `every`
    // sixteenths.
    void arpeggio(const TChord& chord, int bar, int low, std::initializer_list<int> order, double every,
                  double velocity, double brightness) {
        std::vector<int> tones = voicing(chord, low);
        const std::size_t count = tones.size();
        for (std::size_t i = 0; i < count; ++i)
            tones.push_back(tones[i] + 12);
        int index = 0;
        for (int position : order) {
            const double step = index * every;
            if (step >= 16.0) break;
            const double pan = (index % 2 == 0 ? -0.35 : 0.35);
            note(TInstrument::Arp, bar, step, every * 0.8,
                 tones[static_cast<std::size_t>(position) % tones.size()],
                 velocity * (index % 4 == 0 ? 1.0 : 0.8), pan, brightness);
            ++index;
        }
    }

    // Bass notes on the steps marked in `steps`: 'r' root, 'o' root an octave up, 'f' the fifth.
    void bassLine(const TChord& chord, int bar, const char* steps, double velocity, double brightness) {
        const int root = rootIn(chord, 33);
        for (int step = 0; step < 16 && steps[step] != '\0'; ++step) {
            int interval = -1;
            if (steps[step] == 'r') interval = 0;
            if (steps[step] == 'o') interval = 12;
            if (steps[step] == 'f') interval = 7;
            if (interval < 0) continue;
            // Held until the next note or the end of the bar.
            int next = step + 1;
            while (next < 16 && steps[next] != '\0' && steps[next] == '.')
                ++next;
            note(TInstrument::Bass, bar, step, (next - step) * 0.85, root + interval, velocity, 0.0,
                 brightness);
        }
    }

    void melody(int bar, std::initializer_list<TMelodyNote> phrase, double velocity, double brightness,
                int transpose = 0) {
        for (const TMelodyNote& part : phrase) {
            note(TInstrument::Lead, bar, part.step, part.length * 0.92, part.note + transpose, velocity, 0.1,
                 brightness);
        }
    }

    // A noise sweep that rises over the bars before a section change.
    void riser(int bar, int bars, double velocity) {
        note(TInstrument::Riser, bar, 0.0, bars * 16.0, 60.0, velocity, 0.0, 0.5);
    }

private:
    TSong& song;
    TNoise humanise;
};

// ---- title track
// ------------------------------------------------------------------------------------------------

constexpr int kTitleBars = 36;

TChord titleChord(int bar) {
    // Two bars a chord. The intro and the A sections turn Am9 - Fmaj7 - Cmaj7 - G6; the B sections answer
    // with Dm9 - Am7 - Fmaj7 - E7sus4 E7, whose E leads back to A, also across the loop point.
    static const TChord kA[4] = {
        {57, 5, {0, 3, 7, 10, 14}}, {53, 4, {0, 4, 7, 11}}, {48, 4, {0, 4, 7, 11}}, {55, 4, {0, 4, 7, 9}}};
    const bool sectionB = (bar >= 12 && bar < 20) || bar >= 28;
    const int inPhrase = bar < 4 ? bar : (bar - 4) % 8;
    if (!sectionB) return kA[inPhrase / 2];
    switch (inPhrase / 2) {
    case 0:
        return {50, 5, {0, 3, 7, 10, 14}};
    case 1:
        return {57, 4, {0, 3, 7, 10}};
    case 2:
        return {53, 4, {0, 4, 7, 11}};
    default:
        return inPhrase % 2 == 0 ? TChord{52, 4, {0, 5, 7, 10}} : TChord{52, 4, {0, 4, 7, 10}};
    }
}

void titleDrums(TComposer& c, int bar) {
    const bool intro = bar < 4;
    const bool outroEnd = bar >= 32;
    if (!intro && !outroEnd) {
        // Half time: kick on one and the last eighth of beat three, the snare on three.
        c.pattern(TInstrument::Kick, bar, bar % 4 == 3 ? "X.........x...x." : "X.........x.....", 0.8);
        c.pattern(TInstrument::Snare, bar, "........x.......", 0.55);
    }
    if (bar >= 20 && bar < 28) {
        c.pattern(TInstrument::ClosedHat, bar, "x.oox.oox.oox.oo", 0.6, 0.25, 0.3);
    } else if (!intro || bar >= 2) {
        c.pattern(TInstrument::ClosedHat, bar, "x.o.x.o.x.o.x.o.", 0.55, 0.25, 0.3);
    }
    if (bar >= 4 && bar < 32 && bar % 4 == 3)
        c.pattern(TInstrument::OpenHat, bar, "..............x.", 0.5, -0.3);
    if (bar == 4 || bar == 12 || bar == 20 || bar == 28) c.hit(TInstrument::Crash, bar, 0, 0.55, -0.2);
}

void titleBass(TComposer& c, int bar, const TChord& chord) {
    if (bar < 4) return;
    const double bright = bar >= 20 && bar < 28 ? 0.35 : 0.2;
    c.bassLine(chord, bar, bar >= 32 ? "r..............." : "r.....o...r.....", 0.8, bright);
}

void titleArp(TComposer& c, int bar, const TChord& chord) {
    // The filter opens gradually over the track and closes again in the outro.
    const double bright = bar < 4 ? 0.15 : (bar < 28 ? 0.2 + 0.3 * (bar - 4) / 24.0 : 0.3);
    if (bar % 2 == 0) {
        c.arpeggio(chord, bar, 60, {0, 1, 2, 3, 4, 3, 2, 1}, 2.0, 0.5, bright);
    } else {
        c.arpeggio(chord, bar, 60, {2, 3, 4, 5, 4, 3, 1, 0}, 2.0, 0.5, bright);
    }
}

void titleMelody(TComposer& c, int bar) {
    // Over Dm9 - Am7 - Fmaj7 - E7: a slow line that ends on the leading tone G#.
    if (bar == 12) {
        c.melody(bar,
                 {{0, 12, 69},
                  {12, 4, 72},
                  {16, 8, 74},
                  {24, 8, 77},
                  {32, 12, 76},
                  {44, 4, 74},
                  {48, 16, 72},
                  {64, 8, 69},
                  {72, 8, 72},
                  {80, 12, 76},
                  {92, 4, 74},
                  {96, 12, 71},
                  {108, 4, 69},
                  {112, 16, 68}},
                 0.55, 0.15);
    }
    // Over Am9 - Fmaj7 - Cmaj7 - G6: the same shape, higher and answering.
    if (bar == 20) {
        c.melody(bar,
                 {{0, 12, 76},
                  {12, 4, 74},
                  {16, 8, 72},
                  {24, 8, 71},
                  {32, 12, 69},
                  {44, 4, 72},
                  {48, 16, 76},
                  {64, 12, 79},
                  {76, 4, 76},
                  {80, 8, 74},
                  {88, 8, 76},
                  {96, 12, 74},
                  {108, 4, 71},
                  {112, 16, 67}},
                 0.55, 0.25);
    }
}

// ---- play track
// -------------------------------------------------------------------------------------------------

constexpr int kPlayBars = 80;

enum class TPlaySection { Intro, A, B, Break, Outro };

TPlaySection playSection(int bar) {
    if (bar < 8) return TPlaySection::Intro;
    if (bar < 24) return TPlaySection::A;
    if (bar < 40) return TPlaySection::B;
    if (bar < 48) return TPlaySection::Break;
    if (bar < 64) return TPlaySection::A;
    if (bar < 76) return TPlaySection::B;
    return TPlaySection::Outro;
}

TChord playChord(int bar) {
    // One bar a chord. Em - C - G - D drives; Am - Em - C - B lifts, its B major pulling back to E; the break
    // floats on Cmaj7 - D - Bm7 - Em.
    switch (playSection(bar)) {
    case TPlaySection::B: {
        static const TChord kB[4] = {
            {57, 3, {0, 3, 7}}, {52, 3, {0, 3, 7}}, {48, 3, {0, 4, 7}}, {59, 3, {0, 4, 7}}};
        return kB[bar % 4];
    }
    case TPlaySection::Break: {
        static const TChord kBreak[4] = {
            {48, 4, {0, 4, 7, 11}}, {50, 3, {0, 4, 7}}, {59, 4, {0, 3, 7, 10}}, {52, 3, {0, 3, 7}}};
        return kBreak[bar % 4];
    }
    default: {
        static const TChord kA[4] = {
            {52, 3, {0, 3, 7}}, {48, 3, {0, 4, 7}}, {55, 3, {0, 4, 7}}, {50, 3, {0, 4, 7}}};
        return kA[bar % 4];
    }
    }
}

void playDrums(TComposer& c, int bar) {
    const TPlaySection section = playSection(bar);
    const bool phraseEnd = bar % 8 == 7;
    const bool breakBuild = section == TPlaySection::Break && bar >= 46;
    if (section != TPlaySection::Break || breakBuild) {
        c.pattern(TInstrument::Kick, bar, "X...X...X...X...", 1.0);
        if (section == TPlaySection::B && bar >= 64)
            c.pattern(TInstrument::Kick, bar, "..............o.", 1.0);
    }
    if (section == TPlaySection::A || section == TPlaySection::B) {
        if (phraseEnd) {
            // A fill: the backbeat gives way to a snare run into the next phrase.
            c.pattern(TInstrument::Clap, bar, "....x.......", 0.9);
            c.pattern(TInstrument::Snare, bar, "........o.x.xxXX", 0.8);
        } else {
            c.pattern(TInstrument::Clap, bar, "....x.......x...", 0.9);
        }
        c.pattern(TInstrument::OpenHat, bar, "..x...x...x...x.", 0.6, 0.3);
    }
    if (breakBuild)
        c.pattern(TInstrument::Snare, bar, bar == 46 ? "x...x...x...x..." : "x.x.x.x.xxxxXXXX", 0.7);
    if (section != TPlaySection::Break)
        c.pattern(TInstrument::ClosedHat, bar, "xoXoxoXoxoXoxoXo", 0.6, -0.25, 0.25);
    if (section == TPlaySection::Break && bar < 46)
        c.pattern(TInstrument::ClosedHat, bar, "..x...x...x...x.", 0.35, -0.25, 0.2);
    if (bar == 0 || bar == 8 || bar == 24 || bar == 48 || bar == 64)
        c.hit(TInstrument::Crash, bar, 0, 0.8, 0.2);
}

void playBass(TComposer& c, int bar, const TChord& chord) {
    const TPlaySection section = playSection(bar);
    if (section == TPlaySection::Break && bar < 46) return;
    if (section == TPlaySection::Intro || section == TPlaySection::Outro) {
        // The intro opens the filter bar by bar; the outro closes it again so the loop point is seamless.
        const double bright = section == TPlaySection::Intro ? 0.15 + 0.06 * bar : 0.45 - 0.07 * (bar - 76);
        c.bassLine(chord, bar, "..r...r...r...r.", 0.9, bright);
        return;
    }
    // Rolling sixteenths that step out of the kick's way.
    c.bassLine(chord, bar, bar % 2 == 0 ? ".rrr.rro.rrr.rrf" : ".rrr.rro.rrr.ror", 0.85, 0.45);
}

void playHarmony(TComposer& c, int bar, const TChord& chord) {
    const TPlaySection section = playSection(bar);
    if (section == TPlaySection::Intro || section == TPlaySection::Outro) return;
    const double padBright = section == TPlaySection::Break ? 0.65 : 0.4;
    c.pad(chord, bar, 16.0, section == TPlaySection::Break ? 0.9 : 0.7, padBright);
    // Arp filter sweeps up over every eight bars.
    const double sweep = (bar % 8) / 7.0;
    const int low = (bar >= 48 && bar < 64) ? 67 : 60;
    if (section == TPlaySection::B) {
        c.arpeggio(chord, bar, low, {0, 2, 1, 3, 2, 4, 3, 5, 4, 2, 3, 1, 2, 0, 1, 2}, 1.0, 0.5,
                   0.3 + 0.5 * sweep);
    } else {
        c.arpeggio(chord, bar, low, {0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 4, 3}, 1.0, 0.5,
                   0.25 + 0.5 * sweep);
    }
}

void playMelody(TComposer& c, int bar) {
    const TPlaySection section = playSection(bar);
    if (bar % 4 != 0) return;
    const int phrase = (bar / 4) % 2;
    if (section == TPlaySection::B) {
        // Over Am - Em - C - B.
        c.melody(bar,
                 {{0, 2, 69},
                  {2, 2, 72},
                  {4, 4, 76},
                  {8, 2, 74},
                  {10, 2, 72},
                  {12, 4, 71},
                  {16, 2, 67},
                  {18, 2, 71},
                  {20, 8, 76},
                  {28, 4, 79},
                  {32, 6, 79},
                  {38, 2, 76},
                  {40, 4, 72},
                  {44, 4, 76}},
                 0.6, 0.75);
        if (phrase == 0) {
            c.melody(bar, {{48, 8, 75}, {56, 4, 78}, {60, 4, 71}}, 0.6, 0.75);
        } else {
            c.melody(bar, {{48, 4, 78}, {52, 4, 75}, {56, 8, 71}}, 0.6, 0.75);
        }
    }
    if (section == TPlaySection::A && bar >= 48) {
        // Over Em - C - G - D.
        c.melody(bar,
                 {{0, 6, 76},
                  {6, 2, 74},
                  {8, 4, 71},
                  {12, 4, 67},
                  {16, 6, 72},
                  {22, 2, 71},
                  {24, 4, 67},
                  {28, 4, 64},
                  {32, 4, 74},
                  {36, 4, 79},
                  {40, 4, 78},
                  {44, 4, 74}},
                 0.6, 0.8);
        if (phrase == 0) {
            c.melody(bar, {{48, 6, 69}, {54, 2, 71}, {56, 4, 69}, {60, 4, 66}}, 0.6, 0.8);
        } else {
            c.melody(bar, {{48, 8, 78}, {56, 4, 76}, {60, 4, 74}}, 0.6, 0.8);
        }
    }
    // Answer phrases an octave down in the break, soft.
    if (section == TPlaySection::Break && bar == 40) {
        c.melody(bar, {{0, 12, 67}, {12, 4, 71}, {16, 16, 74}, {32, 12, 71}, {44, 4, 69}, {48, 16, 64}}, 0.5,
                 0.35);
    }
}

// ---- writing
// ----------------------------------------------------------------------------------------------------

// VBR quality: about 110 kbit/s, plenty for synthesised material and quick to encode.
constexpr float kVorbisQuality = 0.3f;

TBytes encodeTrack(const TSong& song) {
    const TStereoLoop loop = renderSong(song);
    return encodeOggVorbis(loop.left, loop.right, kMusicRate, kVorbisQuality);
}

} // namespace

TSong composeTitleTrack() {
    TSong song;
    song.samplesPerStep = 6890; // 96 beats a minute
    song.bars = kTitleBars;
    song.mix.delaySteps = 3;
    song.mix.delayFeedback = 0.45f;
    song.mix.reverbRoom = 0.86f;
    song.mix.duckDepth = 0.25f;
    song.mix.drive = 1.1f;
    song.mix.instrumentGain[static_cast<int>(TInstrument::Kick)] = 0.8f;
    song.mix.instrumentGain[static_cast<int>(TInstrument::Pad)] = 0.8f;
    song.mix.instrumentGain[static_cast<int>(TInstrument::Lead)] = 0.8f;
    TComposer c(song, 7);
    for (int bar = 0; bar < kTitleBars; ++bar) {
        const TChord chord = titleChord(bar);
        // A pad chord is held for as long as the harmony stays put.
        const bool changed = bar == 0 || !(titleChord(bar - 1) == chord);
        if (changed)
            c.pad(chord, bar, bar + 1 < kTitleBars && titleChord(bar + 1) == chord ? 32.0 : 16.0, 0.8, 0.45);
        titleDrums(c, bar);
        titleBass(c, bar, chord);
        titleArp(c, bar, chord);
        titleMelody(c, bar);
    }
    return song;
}

TSong composePlayTrack() {
    TSong song;
    song.samplesPerStep = 4794; // 138 beats a minute
    song.bars = kPlayBars;
    song.mix.delaySteps = 3;
    song.mix.delayFeedback = 0.35f;
    song.mix.reverbRoom = 0.8f;
    song.mix.duckDepth = 0.5f;
    song.mix.drive = 1.2f;
    TComposer c(song, 11);
    for (int bar = 0; bar < kPlayBars; ++bar) {
        const TChord chord = playChord(bar);
        playDrums(c, bar);
        playBass(c, bar, chord);
        playHarmony(c, bar, chord);
        playMelody(c, bar);
        if (bar == 6 || bar == 46 || bar == 78) c.riser(bar, 2, bar == 78 ? 0.6 : 0.9);
    }
    return song;
}

} // namespace synth

void writeMusicAssets(const std::string& outDir) {
    // The two tracks share nothing, so each gets a thread: rendering and encoding are nearly all the cost.
    // Files are written afterwards from this thread, so a failure ends the generator with no thread running.
    synth::TBytes play, title;
    std::exception_ptr playFailure;
    std::thread playWorker([&] {
        try {
            play = synth::encodeTrack(synth::composePlayTrack());
        } catch (...) {
            playFailure = std::current_exception();
        }
    });
    std::string titleError;
    try {
        title = synth::encodeTrack(synth::composeTitleTrack());
    } catch (const std::exception& error) {
        titleError = error.what();
    }
    playWorker.join();
    if (!titleError.empty()) failGenerator("music_title.ogg: " + titleError);
    if (playFailure) {
        try {
            std::rethrow_exception(playFailure);
        } catch (const std::exception& error) {
            failGenerator(std::string("music_play.ogg: ") + error.what());
        }
    }
    writeOutputFile(outDir, "music_title.ogg", title);
    writeOutputFile(outDir, "music_play.ogg", play);
}
