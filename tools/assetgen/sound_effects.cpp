// The game's sound effects, synthesised.
//
// Contents:
//   finishing helpers          - level, DC and edges shared by every one-shot
//   craft                      - fire, engine hum loop, shield blink
//   hits and explosions        - enemy explosion, shot burst
//   gravity well               - hit, active hum, overload burst
//   rewards                    - the two bell dings
//   enemy entries              - one sound per kind, and the swarm loop
//   menu                       - the 8-bit stereo blip
//   writeSoundEffectAssets     - renders and stores them all
//
// Every sound is a short deterministic recipe: oscillators and seeded noise shaped by envelopes and filters.
// The lengths follow the slots the game's sound bank was laid out for; loops are whole periods or crossfaded
// so the last sample flows into the first.
#include "generated_assets.h"
#include "output_file.h"
#include "synth_dsp.h"
#include "synth_wave.h"

#include <cstddef>

using namespace synth;

namespace {

constexpr double kEffectRate = 22050.0;
constexpr double kSwarmRate = 44100.0;

// Edge ramps: long enough that no step is audible, short enough to keep the attack.
constexpr int kFadeIn = 24;
constexpr int kFadeOut = 220;

double seconds(int sample, double rate = kEffectRate) {
    return static_cast<double>(sample) / rate;
}

// Envelope that rises over `attack` seconds and then decays with time constant `decay`.
double strike(double t, double attack, double decay) {
    const double rise = t < attack ? t / attack : 1.0;
    return rise * expDet(-t / decay);
}

TSamples finishOneShot(TSamples samples, double peak) {
    removeDc(samples);
    normalise(samples, peak);
    fadeEdges(samples, kFadeIn, kFadeOut);
    return samples;
}

// ---- craft
// ------------------------------------------------------------------------------------------------------

TSamples renderPlayerFire() {
    TSamples out(4096);
    TPhase phase;
    TPhase octave;
    TStateFilter tone;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        // Falls from a bright 1.4 kHz to a low blip in a tenth of a second.
        const double hz = 260.0 + 1140.0 * expDet(-t / 0.045);
        const double step = hz / kEffectRate;
        const double body = pulseWave(phase.advance(step), step, 0.3);
        const double edge = sawWave(octave.advance(2.0 * step), 2.0 * step);
        tone.setCutoff(hz * 5.0, kEffectRate, 0.3);
        out[i] = tone.lowpass(0.7 * body + 0.3 * edge) * strike(t, 0.002, 0.05);
    }
    return finishOneShot(out, 0.7);
}

TSamples renderEngineLoop() {
    constexpr int kLength = 10240;
    constexpr int kPreroll = 2048; // lets the filters settle into their periodic state
    constexpr int kOverlap = 512;
    // Whole numbers of cycles per loop keep the tones periodic. kCycle is the phase step of one cycle per
    // loop, so k * kCycle is a tone of k * rate / length Hz (k = 36: 77.5 Hz).
    constexpr double kCycle = 1.0 / kLength;
    TSamples rendered(kLength + kOverlap);
    TPhase low, beat, throb;
    TStateFilter body, hiss;
    body.setCutoff(520.0, kEffectRate, 0.35);
    hiss.setCutoff(1800.0, kEffectRate, 0.5);
    TNoise noise(301);
    for (int i = -kPreroll; i < kLength + kOverlap; ++i) {
        const double lowStep = 36.0 * kCycle;
        const double beatStep = 37.0 * kCycle;
        const double hum =
            sawWave(low.advance(lowStep), lowStep) + 0.8 * squareWave(beat.advance(beatStep), beatStep);
        const double wobble = 0.75 + 0.25 * sinCycles(throb.advance(4.0 * kCycle));
        const double sample = body.lowpass(hum) * wobble + 0.12 * hiss.bandpass(noise.bipolar());
        if (i >= 0) rendered[i] = sample;
    }
    TSamples loop = closeLoop(rendered, kLength);
    removeDc(loop);
    normalise(loop, 0.6);
    return loop;
}

TSamples renderShieldBlink() {
    TSamples out(5120);
    TPhase carrier, ring;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        const double bend = t < 0.06 ? t / 0.06 : 1.0;
        const double hz = (880.0 + 440.0 * bend) * (1.0 + 0.02 * sinCycles(30.0 * t));
        const double tone = sinCycles(carrier.advance(hz / kEffectRate));
        // A ring partial a fifth and a bit above gives the glassy edge of an energy field.
        const double glass = tone * sinCycles(ring.advance(1.51 * hz / kEffectRate));
        out[i] = (0.75 * tone + 0.35 * glass) * strike(t, 0.004, 0.06);
    }
    return finishOneShot(out, 0.6);
}

// ---- hits and explosions
// ---------------------------------------------------------------------------------------

// Noise held for a number of samples that grows as the blast cools: the coarse crackle of an arcade
// explosion.
struct TCrackle {
    TNoise noise;
    double held = 0.0;
    double counter = 0.0;
    explicit TCrackle(std::uint32_t seed) : noise(seed) {}
    double next(double holdRate) {
        counter += holdRate / kEffectRate;
        if (counter >= 1.0) {
            counter -= std::floor(counter);
            held = noise.bipolar();
        }
        return held;
    }
};

TSamples renderExplosion() {
    TSamples out(12288);
    TNoise noise(101);
    TCrackle crackle(102);
    TStateFilter rumble;
    TPhase thump;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        rumble.setCutoff(280.0 + 5500.0 * expDet(-t / 0.09), kEffectRate, 0.2);
        const double blast =
            rumble.lowpass(0.6 * noise.bipolar() + 0.4 * crackle.next(9000.0 * expDet(-t / 0.2) + 900.0));
        // A quick bang and a longer rumbling tail.
        const double blastLevel = 0.55 * strike(t, 0.003, 0.06) + 0.45 * strike(t, 0.003, 0.22);
        const double thumpHz = 35.0 + 95.0 * expDet(-t / 0.07);
        const double low = sinCycles(thump.advance(thumpHz / kEffectRate)) * strike(t, 0.002, 0.12);
        out[i] = blast * blastLevel * 1.6 + 0.8 * low;
    }
    return finishOneShot(out, 0.8);
}

TSamples renderShotBurst() {
    TSamples out(6144);
    TNoise noise(111);
    TStateFilter puff;
    TPhase blip;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        puff.setCutoff(800.0 + 1800.0 * expDet(-t / 0.05), kEffectRate, 0.45);
        const double burst = puff.bandpass(noise.bipolar()) * strike(t, 0.003, 0.06);
        const double hz = 380.0 + 520.0 * expDet(-t / 0.03);
        const double pop = sinCycles(blip.advance(hz / kEffectRate)) * strike(t, 0.002, 0.035);
        out[i] = 1.4 * burst + 0.5 * pop;
    }
    // A stray shot is background detail: softer than a kill.
    return finishOneShot(out, 0.45);
}

// ---- gravity well
// -----------------------------------------------------------------------------------------------

TSamples renderHoleHit() {
    TSamples out(12288);
    // Partials of a struck metal plate: far from harmonic, the higher ones dying first.
    constexpr int kPartials = 5;
    constexpr double kRatio[kPartials] = {1.0, 1.47, 2.09, 2.56, 3.91};
    constexpr double kLevel[kPartials] = {0.6, 0.45, 0.35, 0.25, 0.18};
    constexpr double kDecay[kPartials] = {0.22, 0.16, 0.12, 0.09, 0.06};
    TPhase ring[kPartials];
    TPhase thud;
    TNoise noise(121);
    TStateFilter knock;
    knock.setCutoff(2500.0, kEffectRate, 0.3);
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        double metal = 0.0;
        for (int p = 0; p < kPartials; ++p) {
            metal += kLevel[p] * sinCycles(ring[p].advance(310.0 * kRatio[p] / kEffectRate)) *
                     expDet(-t / kDecay[p]);
        }
        const double thudHz = 52.0 + 40.0 * expDet(-t / 0.05);
        const double body = sinCycles(thud.advance(thudHz / kEffectRate)) * strike(t, 0.002, 0.15);
        const double impact = knock.lowpass(noise.bipolar()) * expDet(-t / 0.008);
        out[i] = 0.5 * metal * strike(t, 0.001, 1.0) + 1.0 * body + 0.8 * impact;
    }
    return finishOneShot(out, 0.75);
}

TSamples renderHoleActive() {
    TSamples out(10240);
    TPhase a, b, pulse;
    TStateFilter tone;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        const double hz = 55.0 * (1.0 + 0.08 * t);
        const double hum = sawWave(a.advance(hz / kEffectRate), hz / kEffectRate) +
                           sawWave(b.advance(2.01 * hz / kEffectRate), 2.01 * hz / kEffectRate) * 0.6;
        const double throb = sinCycles(pulse.advance(6.5 / kEffectRate));
        tone.setCutoff(300.0 + 250.0 * (0.5 + 0.5 * throb), kEffectRate, 0.6);
        out[i] = tone.lowpass(hum) * (0.6 + 0.4 * throb);
    }
    out = finishOneShot(out, 0.6);
    fadeEdges(out, 600, 900); // a hum swells in and out rather than starting dead on
    return out;
}

TSamples renderHoleExplode() {
    TSamples out(25600);
    constexpr double kBurstAt = 0.32;
    TNoise noise(131);
    TCrackle crackle(132);
    TStateFilter suck, blast;
    TPhase rise, thump;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        double sample = 0.0;
        if (t < kBurstAt) {
            // Implosion: everything is drawn in, rising in pitch and level up to the burst.
            const double x = t / kBurstAt;
            suck.setCutoff(200.0 + 3200.0 * x * x, kEffectRate, 0.7);
            const double swell = x * x * x;
            sample = (suck.bandpass(noise.bipolar()) * 1.3 +
                      0.6 * sinCycles(rise.advance((60.0 + 420.0 * x * x) / kEffectRate))) *
                     swell;
        }
        if (t >= kBurstAt) {
            const double u = t - kBurstAt;
            blast.setCutoff(200.0 + 7000.0 * expDet(-u / 0.12), kEffectRate, 0.2);
            const double debris =
                blast.lowpass(0.5 * noise.bipolar() + 0.5 * crackle.next(7000.0 * expDet(-u / 0.3) + 600.0));
            const double level = 0.5 * strike(u, 0.002, 0.08) + 0.5 * strike(u, 0.004, 0.35);
            const double thumpHz = 25.0 + 75.0 * expDet(-u / 0.12);
            const double low = sinCycles(thump.advance(thumpHz / kEffectRate)) * strike(u, 0.002, 0.3);
            sample += 1.5 * debris * level + 0.9 * low;
        }
        out[i] = sample;
    }
    return finishOneShot(out, 0.85);
}

// ---- rewards
// ----------------------------------------------------------------------------------------------------

// A struck bell: inharmonic partials, each a close pair so it shimmers, the upper ones fading sooner.
void addBell(TSamples& out, double startSeconds, double hz, double level, std::uint32_t seed) {
    constexpr int kPartials = 6;
    constexpr double kRatio[kPartials] = {0.5, 1.0, 1.19, 1.5, 2.0, 2.76};
    constexpr double kLevel[kPartials] = {0.25, 1.0, 0.35, 0.3, 0.25, 0.2};
    constexpr double kDecay[kPartials] = {0.9, 0.75, 0.5, 0.4, 0.3, 0.18};
    TPhase pair[kPartials][2];
    TNoise noise(seed);
    const int start = static_cast<int>(startSeconds * kEffectRate);
    for (int i = start; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i - start);
        double sample = 0.0;
        for (int p = 0; p < kPartials; ++p) {
            const double partialHz = hz * kRatio[p];
            const double tone = sinCycles(pair[p][0].advance(partialHz / kEffectRate)) +
                                sinCycles(pair[p][1].advance((partialHz + 0.9) / kEffectRate));
            sample += kLevel[p] * tone * expDet(-t / kDecay[p]);
        }
        // The strike itself: a tick of noise.
        sample += 0.5 * noise.bipolar() * expDet(-t / 0.003);
        out[i] += level * sample * strike(t, 0.001, 10.0);
    }
}

TSamples renderMultiplierDing() {
    TSamples out(55296);
    addBell(out, 0.0, 1318.5, 1.0, 141);
    return finishOneShot(out, 0.6);
}

TSamples renderExtraLifeDing() {
    TSamples out(55296);
    // Two strikes a fourth apart: a reward bigger than a multiplier step.
    addBell(out, 0.0, 987.8, 0.9, 151);
    addBell(out, 0.14, 1318.5, 1.0, 152);
    return finishOneShot(out, 0.65);
}

// ---- enemy entries
// ----------------------------------------------------------------------------------------------

// Held level with quick ends: entries are events, not strikes.
double gate(double t, double length, double attack, double release) {
    if (t < attack) return t / attack;
    if (t > length - release) return t >= length ? 0.0 : (length - t) / release;
    return 1.0;
}

TSamples renderEntryRisingSweep() {
    TSamples out(10240);
    const double length = seconds(static_cast<int>(out.size()));
    TPhase osc, sub;
    TStateFilter tone;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        const double hz = 180.0 * pow2Det(3.0 * t / 0.42) * (1.0 + 0.015 * sinCycles(9.0 * t));
        const double step = hz / kEffectRate;
        tone.setCutoff(hz * 4.0, kEffectRate, 0.75);
        const double sample =
            tone.lowpass(sawWave(osc.advance(step), step)) + 0.4 * sinCycles(sub.advance(0.5 * step));
        out[i] = sample * gate(t, length, 0.02, 0.08);
    }
    return finishOneShot(out, 0.6);
}

TSamples renderEntryWarble() {
    TSamples out(10240);
    TPhase osc, wobble;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        const double hz =
            (700.0 - 250.0 * t / 0.46) * (1.0 + 0.25 * sinCycles(wobble.advance(18.0 / kEffectRate)));
        const double step = hz / kEffectRate;
        const double phase = osc.advance(step);
        out[i] = (0.6 * triangleWave(phase) + 0.4 * squareWave(phase, step)) * strike(t, 0.01, 0.2);
    }
    return finishOneShot(out, 0.55);
}

TSamples renderEntryZap() {
    TSamples out(10240);
    TNoise noise(161);
    TStateFilter tone;
    // Two zaps, the echo weaker.
    constexpr double kStart[2] = {0.0, 0.18};
    constexpr double kLevel[2] = {1.0, 0.55};
    TPhase osc[2];
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        double sample = 0.0;
        for (int z = 0; z < 2; ++z) {
            const double u = t - kStart[z];
            if (u < 0.0) continue;
            const double hz = 150.0 + 2900.0 * expDet(-u / 0.035);
            const double step = hz / kEffectRate;
            sample += kLevel[z] * (sawWave(osc[z].advance(step), step) + 0.3 * noise.bipolar()) *
                      strike(u, 0.001, 0.05);
        }
        tone.setCutoff(4000.0, kEffectRate, 0.2);
        out[i] = tone.lowpass(sample);
    }
    return finishOneShot(out, 0.6);
}

TSamples renderEntryArpeggio() {
    TSamples out(10240);
    // A rising major arpeggio, one blip every 95 ms.
    constexpr int kNotes = 4;
    constexpr double kNote[kNotes] = {84.0, 88.0, 91.0, 96.0};
    constexpr double kNoteLength = 0.095;
    TPhase osc;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        int n = static_cast<int>(t / kNoteLength);
        if (n >= kNotes) n = kNotes - 1;
        const double u = t - n * kNoteLength;
        const double step = noteHz(kNote[n]) / kEffectRate;
        const double decay = n == kNotes - 1 ? 0.08 : 0.04;
        // Short ramp at each note so the note changes do not click.
        out[i] = pulseWave(osc.advance(step), step, 0.25) * strike(u, 0.003, decay);
    }
    return finishOneShot(out, 0.5);
}

TSamples renderEntryDrone() {
    TSamples out(28452);
    const double length = seconds(static_cast<int>(out.size()));
    TPhase a, b, lift, tremolo;
    TStateFilter tone;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        const double x = t / length;
        // The filter opens over two thirds of the sound and closes again: a menacing swell.
        const double open = x < 0.65 ? x / 0.65 : (1.0 - x) / 0.35;
        tone.setCutoff(150.0 + 2400.0 * open * open, kEffectRate, 0.8);
        const double stepA = 55.0 / kEffectRate;
        const double stepB = 55.7 / kEffectRate;
        const double drone = sawWave(a.advance(stepA), stepA) + sawWave(b.advance(stepB), stepB);
        const double riser = sinCycles(lift.advance(110.0 * pow2Det(2.0 * x) / kEffectRate));
        const double shake =
            1.0 - 0.4 * x * (0.5 + 0.5 * sinCycles(tremolo.advance((6.0 + 10.0 * x) / kEffectRate)));
        out[i] = (tone.lowpass(drone) + 0.35 * riser) * shake * gate(t, length, 0.15, 0.25);
    }
    return finishOneShot(out, 0.65);
}

TSamples renderEntryBoing() {
    TSamples out(10240);
    TPhase osc, ring;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = seconds(i);
        // Down and back up: the pitch of a bounce.
        const double dip = (t - 0.18) / 0.18;
        const double hz = 260.0 + 900.0 * (dip * dip < 1.0 ? dip * dip : 1.0);
        const double tone = sinCycles(osc.advance(hz / kEffectRate));
        const double metal = tone * sinCycles(ring.advance(1.41 * hz / kEffectRate));
        out[i] = (0.6 * tone + 0.5 * metal) * strike(t, 0.005, 0.25);
    }
    return finishOneShot(out, 0.6);
}

TSamples renderSwarmLoop() {
    constexpr int kLength = 45056;
    constexpr int kPreroll = 4096;
    constexpr int kOverlap = 1024;
    constexpr double kCycle = kSwarmRate / kLength;
    // A cloud of buzzing voices around 240 Hz; each frequency and each vibrato a whole number of cycles per
    // loop.
    constexpr int kVoices = 10;
    constexpr int kBase[kVoices] = {231, 236, 240, 244, 247, 252, 257, 262, 268, 275};
    constexpr int kVibrato[kVoices] = {5, 7, 6, 9, 8, 5, 11, 7, 6, 10};
    TPhase voice[kVoices];
    // Spread starting phases: voices that start together would also line up once every loop, an audible tick.
    for (int v = 0; v < kVoices; ++v)
        voice[v].value = 0.618034 * v - std::floor(0.618034 * v);
    TStateFilter nasal, soften;
    nasal.setCutoff(1400.0, kSwarmRate, 0.7);
    soften.setCutoff(4500.0, kSwarmRate, 0.1);
    TSamples rendered(kLength + kOverlap);
    for (int i = -kPreroll; i < kLength + kOverlap; ++i) {
        const double t = static_cast<double>(i) / kSwarmRate;
        double buzz = 0.0;
        for (int v = 0; v < kVoices; ++v) {
            const double hz = kCycle * (kBase[v] + 6.0 * sinCycles(kCycle * kVibrato[v] * t + 0.1 * v));
            const double step = hz / kSwarmRate;
            buzz += sawWave(voice[v].advance(step), step);
        }
        const double sample = soften.lowpass(0.6 * nasal.bandpass(buzz) + 0.15 * buzz);
        if (i >= 0) rendered[i] = sample;
    }
    TSamples loop = closeLoop(rendered, kLength);
    removeDc(loop);
    normalise(loop, 0.55);
    return loop;
}

// ---- menu
// -------------------------------------------------------------------------------------------------------

void renderMenuBlip(TSamples& left, TSamples& right) {
    constexpr int kLength = 5848;
    left.assign(kLength, 0.0);
    right.assign(kLength, 0.0);
    TPhase oscLeft, oscRight;
    for (int i = 0; i < kLength; ++i) {
        const double t = seconds(i);
        // Two quick notes, up a fifth; the right channel runs a hair sharp for width.
        const double hz = t < 0.055 ? 1046.5 : 1568.0;
        const double level = t < 0.055 ? strike(t, 0.002, 0.05) : strike(t - 0.055, 0.002, 0.06);
        const double stepLeft = hz / kEffectRate;
        const double stepRight = hz * 1.004 / kEffectRate;
        left[i] = squareWave(oscLeft.advance(stepLeft), stepLeft) * level;
        right[i] = squareWave(oscRight.advance(stepRight), stepRight) * level;
    }
    for (TSamples* channel : {&left, &right}) {
        removeDc(*channel);
        normalise(*channel, 0.5);
        fadeEdges(*channel, kFadeIn, kFadeOut);
    }
}

} // namespace

void writeSoundEffectAssets(const std::string& outDir) {
    const auto store = [&](const char* name, const TSamples& samples, double rate) {
        writeOutputFile(outDir, name, encodeWave16Mono(samples, static_cast<int>(rate)));
    };
    TSamples left, right;
    renderMenuBlip(left, right);
    writeOutputFile(outDir, "fx_menu.wav", encodeWave8Stereo(left, right, static_cast<int>(kEffectRate)));
    store("fx_expl.wav", renderExplosion(), kEffectRate);
    store("fx_bull_expl.wav", renderShotBurst(), kEffectRate);
    store("fx_hole_hit.wav", renderHoleHit(), kEffectRate);
    store("fx_hole_active.wav", renderHoleActive(), kEffectRate);
    store("fx_hole_expl.wav", renderHoleExplode(), kEffectRate);
    store("fx_ding1.wav", renderMultiplierDing(), kEffectRate);
    store("fx_ding2.wav", renderExtraLifeDing(), kEffectRate);
    store("fx_player_move.wav", renderEngineLoop(), kEffectRate);
    store("fx_shield.wav", renderShieldBlink(), kEffectRate);
    store("fx_player_fire.wav", renderPlayerFire(), kEffectRate);
    store("fx_entry0.wav", renderEntryRisingSweep(), kEffectRate);
    store("fx_entry1.wav", renderEntryWarble(), kEffectRate);
    store("fx_entry2.wav", renderEntryZap(), kEffectRate);
    store("fx_entry3.wav", renderEntryArpeggio(), kEffectRate);
    store("fx_entry5.wav", renderEntryDrone(), kEffectRate);
    store("fx_entry7.wav", renderEntryBoing(), kEffectRate);
    store("fx_entry8.wav", renderSwarmLoop(), kSwarmRate);
}
