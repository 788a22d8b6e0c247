// Renders a song's note events into a finished stereo loop.
//
// Contents:
//   instruments   - one function per instrument, each writing a mono voice into a scratch buffer
//   effects       - the ping-pong echo and the room (a comb-and-allpass reverb)
//   mixing        - kick ducking, panning and sends, folding the tail onto the start, the master clipper
//
// Every voice is rendered whole, one after another, with no per-sample dispatch; the mix holds one stereo dry
// bus and two mono send buses for the length of the loop plus a tail.
#include "synth_dsp.h"
#include "synth_music.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

constexpr double kRate = kMusicRate;
// Long enough for the room and the echo to die away below hearing.
constexpr int kTailFrames = 6 * kMusicRate;

using TVoice = std::vector<float>;

double secondsAt(int frame) {
    return static_cast<double>(frame) / kRate;
}

// Attack ramp, hold for the gate, then a linear release: the envelope of held notes.
double gateEnvelope(int frame, int gateFrames, double attack, double release) {
    const double t = secondsAt(frame);
    const double gateEnd = secondsAt(gateFrames);
    double level = t < attack ? t / attack : 1.0;
    if (t > gateEnd) level *= std::max(0.0, 1.0 - (t - gateEnd) / release);
    return level;
}

// Gentle saturation: linear in the middle, rounding off towards +-1.
double softClip(double x) {
    if (x > 1.0) return 2.0 / 3.0;
    if (x < -1.0) return -2.0 / 3.0;
    return x - x * x * x / 3.0;
}

std::uint32_t voiceSeed(const TNoteEvent& event) {
    return static_cast<std::uint32_t>(event.start) * 31u +
           static_cast<std::uint32_t>(event.instrument) * 7919u +
           static_cast<std::uint32_t>(event.note * 16.0f);
}

// ---- instruments
// ------------------------------------------------------------------------------------------------

// Linear rise over the first `frames` samples. Even drums start from silence: a voice that jumps to full
// level on its first sample clicks, and a loop point that falls on a hit would click with it.
double onset(int frame, int frames) {
    return frame < frames ? static_cast<double>(frame) / frames : 1.0;
}

// Linear fade over the last `seconds` of a voice, so that cutting it off at its length makes no click.
double tailFade(int frame, int frames, double seconds) {
    return std::min(1.0, static_cast<double>(frames - frame) / (seconds * kRate));
}

void renderKick(std::uint32_t, TVoice& out) {
    out.resize(static_cast<std::size_t>(0.45 * kRate));
    const int frames = static_cast<int>(out.size());
    TPhase body;
    TDecay sweep(0.032, kRate), level(0.12, kRate), click(0.0015, kRate);
    for (int i = 0; i < frames; ++i) {
        const double hz = 46.0 + 125.0 * sweep.next();
        const double attack = onset(i, 44);
        const double tone =
            sinCycles(body.advance(hz / kRate)) * attack * level.next() * tailFade(i, frames, 0.05);
        out[i] = static_cast<float>(softClip(1.3 * tone) * 1.3 + 0.25 * click.next() * onset(i, 12));
    }
}

void renderSnare(std::uint32_t seed, TVoice& out) {
    out.resize(static_cast<std::size_t>(0.35 * kRate));
    const int frames = static_cast<int>(out.size());
    TPhase body;
    TNoise noise(seed);
    TStateFilter rattle;
    rattle.setCutoff(3200.0, kRate, 0.1);
    TDecay sweep(0.02, kRate), toneLevel(0.05, kRate), wiresLevel(0.11, kRate);
    for (int i = 0; i < frames; ++i) {
        const double hz = 175.0 + 40.0 * sweep.next();
        const double tone = sinCycles(body.advance(hz / kRate)) * toneLevel.next();
        const double wires = rattle.bandpass(noise.bipolar()) * wiresLevel.next();
        out[i] = static_cast<float>((0.6 * tone + 1.4 * wires) * onset(i, 22) * tailFade(i, frames, 0.05));
    }
}

void renderClap(std::uint32_t seed, TVoice& out) {
    out.resize(static_cast<std::size_t>(0.4 * kRate));
    const int frames = static_cast<int>(out.size());
    TNoise noise(seed);
    TStateFilter body;
    body.setCutoff(1250.0, kRate, 0.45);
    // Three hands a hair apart, then the room of the clap.
    const int handGap = static_cast<int>(0.011 * kRate);
    TDecay hand(0.005, kRate), room(0.1, kRate);
    for (int i = 0; i < frames; ++i) {
        if (i < 3 * handGap && i % handGap == 0) hand = TDecay(0.005, kRate);
        double level = hand.next();
        if (i >= 2 * handGap) level = std::max(level, 0.55 * room.next());
        out[i] = static_cast<float>(2.2 * body.bandpass(noise.bipolar()) * level * onset(i, 22) *
                                    tailFade(i, frames, 0.05));
    }
}

// Metal of hats and cymbals: six square waves at unrelated pitches, plus noise, through a highpass.
void renderMetal(std::uint32_t seed, TVoice& out, double decay, double lengthSeconds, double highpassHz) {
    constexpr int kTones = 6;
    constexpr double kHz[kTones] = {558.4, 827.2, 1003.2, 1420.8, 1468.8, 2176.0};
    out.resize(static_cast<std::size_t>(lengthSeconds * kRate));
    const int frames = static_cast<int>(out.size());
    TPhase tone[kTones];
    TNoise noise(seed);
    TStateFilter first, second;
    first.setCutoff(highpassHz, kRate, 0.3);
    second.setCutoff(highpassHz, kRate, 0.1);
    TDecay level(decay, kRate);
    for (int i = 0; i < frames; ++i) {
        double metal = 0.0;
        for (int k = 0; k < kTones; ++k)
            metal += squareWave(tone[k].advance(kHz[k] / kRate), kHz[k] / kRate);
        const double attack = onset(i, 30);
        const double shaped = second.highpass(first.highpass(0.12 * metal + 0.7 * noise.bipolar()));
        out[i] =
            static_cast<float>(shaped * attack * level.next() * tailFade(i, frames, 0.2 * lengthSeconds));
    }
}

void renderRiser(const TNoteEvent& event, TVoice& out) {
    out.resize(static_cast<std::size_t>(event.length));
    const int frames = static_cast<int>(out.size());
    TNoise noise(voiceSeed(event));
    TStateFilter sweep;
    for (int i = 0; i < frames; ++i) {
        const double x = static_cast<double>(i) / frames;
        if ((i & 15) == 0) sweep.setCutoff(300.0 * pow2Det(5.0 * x), kRate, 0.6);
        const double level = x * x * std::min(1.0, (1.0 - x) * 40.0);
        out[i] = static_cast<float>(sweep.bandpass(noise.bipolar()) * level * 1.5);
    }
}

void renderBass(const TNoteEvent& event, TVoice& out) {
    const double release = 0.03;
    out.resize(static_cast<std::size_t>(event.length + release * kRate));
    const double step = noteHz(event.note) / kRate;
    TPhase saw, sub;
    TStateFilter tone;
    TDecay pluck(0.09, kRate);
    const double pluckDepth = 300.0 + 1900.0 * event.brightness;
    const double floor = 120.0 + 500.0 * event.brightness;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double opening = pluck.next();
        if ((i & 7) == 0) tone.setCutoff(floor + pluckDepth * opening, kRate, 0.35);
        const double raw = sawWave(saw.advance(step), step) + 0.9 * sinCycles(sub.advance(0.5 * step));
        out[i] = static_cast<float>(softClip(0.8 * tone.lowpass(raw)) *
                                    gateEnvelope(i, event.length, 0.003, release));
    }
}

void renderPad(const TNoteEvent& event, TVoice& out) {
    const double release = 0.9;
    out.resize(static_cast<std::size_t>(event.length + release * kRate));
    // Three saws a few cents apart: the slow beating is what makes a pad breathe.
    constexpr int kSaws = 3;
    constexpr double kCents[kSaws] = {-9.0, 0.0, 8.0};
    const double hz = noteHz(event.note);
    double steps[kSaws];
    TPhase saw[kSaws];
    TNoise start(voiceSeed(event));
    for (int k = 0; k < kSaws; ++k) {
        steps[k] = hz * pow2Det(kCents[k] / 1200.0) / kRate;
        saw[k].value = start.unit();
    }
    TStateFilter tone;
    const double cutoff = 350.0 + 2600.0 * event.brightness * event.brightness;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        if ((i & 31) == 0) tone.setCutoff(cutoff * (1.0 + 0.15 * sinCycles(secondsAt(i) * 0.3)), kRate, 0.15);
        double sum = 0.0;
        for (int k = 0; k < kSaws; ++k)
            sum += sawWave(saw[k].advance(steps[k]), steps[k]);
        out[i] = static_cast<float>(tone.lowpass(sum) * 0.4 * gateEnvelope(i, event.length, 0.45, release));
    }
}

void renderArp(const TNoteEvent& event, TVoice& out) {
    const double release = 0.08;
    out.resize(static_cast<std::size_t>(event.length + release * kRate));
    const double step = noteHz(event.note) / kRate;
    TPhase osc;
    TStateFilter tone;
    TDecay pluck(0.07, kRate), level(0.18, kRate);
    const double pluckDepth = 1200.0 + 4500.0 * event.brightness;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double opening = pluck.next();
        if ((i & 7) == 0) tone.setCutoff(400.0 + pluckDepth * opening, kRate, 0.5);
        const double phase = osc.advance(step);
        const double raw = 0.6 * pulseWave(phase, step, 0.35) + 0.4 * sawWave(phase, step);
        const double attack = onset(i, 88);
        out[i] = static_cast<float>(tone.lowpass(raw) * attack * level.next() *
                                    gateEnvelope(i, event.length, 0.0005, release));
    }
}

void renderLead(const TNoteEvent& event, TVoice& out) {
    const double release = 0.18;
    out.resize(static_cast<std::size_t>(event.length + release * kRate));
    const double hz = noteHz(event.note);
    TPhase a, b, vibrato;
    TStateFilter tone;
    TDecay pluck(0.12, kRate);
    // Brightness also moves the voice from a soft triangle to a buzzing saw pair.
    const double buzz = event.brightness;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const double t = secondsAt(i);
        // Vibrato only on held notes, fading in as a singer's would.
        const double depth = t < 0.18 ? 0.0 : std::min(1.0, (t - 0.18) / 0.25) * 0.005;
        const double bend = 1.0 + depth * sinCycles(vibrato.advance(5.5 / kRate));
        const double stepA = hz * bend * 1.003 / kRate;
        const double stepB = hz * bend * 0.997 / kRate;
        const double phaseA = a.advance(stepA);
        const double phaseB = b.advance(stepB);
        const double sawPair = 0.5 * (sawWave(phaseA, stepA) + sawWave(phaseB, stepB));
        const double soft = triangleWave(phaseA);
        const double opening = pluck.next();
        if ((i & 15) == 0) tone.setCutoff(900.0 + 3800.0 * buzz + 1500.0 * opening, kRate, 0.3);
        const double raw = buzz * sawPair + (1.0 - buzz) * soft;
        out[i] = static_cast<float>(tone.lowpass(raw) * gateEnvelope(i, event.length, 0.012, release));
    }
}

bool isDrum(TInstrument instrument) {
    return instrument == TInstrument::Kick || instrument == TInstrument::Snare ||
           instrument == TInstrument::Clap || instrument == TInstrument::ClosedHat ||
           instrument == TInstrument::OpenHat || instrument == TInstrument::Crash;
}

void renderDrum(TInstrument instrument, std::uint32_t seed, TVoice& out) {
    switch (instrument) {
    case TInstrument::Kick:
        renderKick(seed, out);
        break;
    case TInstrument::Snare:
        renderSnare(seed, out);
        break;
    case TInstrument::Clap:
        renderClap(seed, out);
        break;
    case TInstrument::ClosedHat:
        renderMetal(seed, out, 0.03, 0.12, 7500.0);
        break;
    case TInstrument::OpenHat:
        renderMetal(seed, out, 0.16, 0.45, 6500.0);
        break;
    default:
        renderMetal(seed, out, 0.9, 2.6, 4000.0);
        break;
    }
}

// Drums do not depend on pitch, so each is rendered once in a few takes (noise differs between takes, so
// repeated hits do not sound copied) and the takes are reused.
class TDrumKit {
public:
    TDrumKit() {
        for (int instrument = 0; instrument < kInstrumentCount; ++instrument) {
            if (!isDrum(static_cast<TInstrument>(instrument))) continue;
            for (int take = 0; take < kTakes; ++take) {
                renderDrum(static_cast<TInstrument>(instrument),
                           static_cast<std::uint32_t>(instrument * 17 + take + 1), takes[instrument][take]);
            }
        }
    }
    const TVoice& take(TInstrument instrument, int start) const {
        return takes[static_cast<int>(instrument)][(static_cast<unsigned>(start) / 7u) % kTakes];
    }

private:
    static constexpr int kTakes = 4;
    TVoice takes[kInstrumentCount][kTakes];
};

// The voice of one event: a drum take from the kit, or a freshly rendered note in `scratch`.
const TVoice& voiceOf(const TNoteEvent& event, const TDrumKit& kit, TVoice& scratch) {
    if (isDrum(event.instrument)) return kit.take(event.instrument, event.start);
    switch (event.instrument) {
    case TInstrument::Riser:
        renderRiser(event, scratch);
        break;
    case TInstrument::Bass:
        renderBass(event, scratch);
        break;
    case TInstrument::Pad:
        renderPad(event, scratch);
        break;
    case TInstrument::Arp:
        renderArp(event, scratch);
        break;
    default:
        renderLead(event, scratch);
        break;
    }
    return scratch;
}

// Where each instrument goes: its level, whether the kick ducks it, and its echo and room sends.
struct TRouting {
    float level;
    bool ducked;
    float echo;
    float room;
};

constexpr TRouting kRouting[kInstrumentCount] = {
    {0.75f, false, 0.0f, 0.02f},  // kick
    {0.60f, false, 0.05f, 0.22f}, // snare
    {1.00f, false, 0.05f, 0.25f}, // clap
    {0.90f, false, 0.0f, 0.05f},  // closed hat
    {0.60f, false, 0.05f, 0.10f}, // open hat
    {0.35f, false, 0.0f, 0.25f},  // crash
    {0.25f, true, 0.10f, 0.35f},  // riser
    {0.28f, true, 0.0f, 0.0f},    // bass
    {0.10f, true, 0.05f, 0.45f},  // pad
    {0.30f, true, 0.45f, 0.20f},  // arp
    {0.35f, false, 0.35f, 0.30f}, // lead
};

// ---- effects
// ----------------------------------------------------------------------------------------------------

class TDelayLine {
public:
    explicit TDelayLine(int frames) : buffer(static_cast<std::size_t>(std::max(frames, 1)), 0.0f) {}
    float read() const { return buffer[cursor]; }
    void write(float value) {
        buffer[cursor] = value;
        if (++cursor == buffer.size()) cursor = 0;
    }

private:
    std::vector<float> buffer;
    std::size_t cursor = 0;
};

// Ping-pong echo: each repeat swaps sides and loses some top.
void addEcho(const std::vector<float>& send, int delayFrames, float feedback, std::vector<float>& left,
             std::vector<float>& right) {
    TDelayLine toLeft(delayFrames), toRight(delayFrames);
    TOnePole darken;
    darken.setCutoff(3500.0, kRate);
    for (std::size_t i = 0; i < send.size(); ++i) {
        const float outLeft = toLeft.read();
        const float outRight = toRight.read();
        toLeft.write(send[i] + feedback * static_cast<float>(darken.lowpass(outRight)));
        toRight.write(outLeft);
        left[i] += outLeft;
        right[i] += outRight;
    }
}

// A comb-and-allpass room in the classic arrangement: eight damped combs in parallel, four allpasses in
// series, the right side a few samples longer than the left so the two decorrelate.
class TRoom {
public:
    TRoom(float feedback, int spread) : feedback(feedback) {
        constexpr int kCombs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        constexpr int kAllpasses[4] = {556, 441, 341, 225};
        for (int length : kCombs)
            combs.emplace_back(length + spread);
        for (int length : kAllpasses)
            allpasses.emplace_back(length + spread);
    }
    float process(float input) {
        float sum = 0.0f;
        for (TComb& comb : combs) {
            const float out = comb.line.read();
            comb.damped = out * (1.0f - kDamping) + comb.damped * kDamping;
            comb.line.write(input + comb.damped * feedback);
            sum += out;
        }
        for (TDelayLine& line : allpasses) {
            const float delayed = line.read();
            line.write(sum + delayed * 0.5f);
            sum = delayed - sum;
        }
        return sum;
    }

private:
    static constexpr float kDamping = 0.3f;
    struct TComb {
        explicit TComb(int length) : line(length) {}
        TDelayLine line;
        float damped = 0.0f;
    };
    float feedback;
    std::vector<TComb> combs;
    std::vector<TDelayLine> allpasses;
};

void addRoom(const std::vector<float>& send, float room, std::vector<float>& left,
             std::vector<float>& right) {
    TRoom roomLeft(room, 0), roomRight(room, 23);
    constexpr float kWet = 0.12f;
    for (std::size_t i = 0; i < send.size(); ++i) {
        left[i] += kWet * roomLeft.process(send[i]);
        right[i] += kWet * roomRight.process(send[i]);
    }
}

// ---- mixing
// -----------------------------------------------------------------------------------------------------

// Gain of the ducked instruments over one loop: each kick pulls them down and lets them swell back, which
// gives the pumping drive. Kicks near the end duck the start, since that is what follows them.
std::vector<float> duckingCurve(const std::vector<TNoteEvent>& events, int loopFrames, float depth) {
    std::vector<float> duck(static_cast<std::size_t>(loopFrames), 0.0f);
    const int reach = static_cast<int>(0.35 * kRate);
    const int dipIn = static_cast<int>(0.004 * kRate);
    std::vector<float> shape(static_cast<std::size_t>(reach));
    TDecay recover(0.09, kRate);
    for (int i = 0; i < reach; ++i)
        shape[i] = static_cast<float>(i < dipIn ? static_cast<double>(i) / dipIn : recover.next());
    for (const TNoteEvent& event : events) {
        if (event.instrument != TInstrument::Kick || event.start >= loopFrames) continue;
        const float weight = depth * event.velocity;
        for (int i = 0; i < reach; ++i) {
            float& slot = duck[static_cast<std::size_t>((event.start + i) % loopFrames)];
            slot = std::max(slot, weight * shape[static_cast<std::size_t>(i)]);
        }
    }
    for (float& value : duck)
        value = 1.0f - value;
    return duck;
}

// The master: no DC, peaks rounded off by the clipper, the level set with headroom below full scale.
void finishMaster(std::vector<float>& left, std::vector<float>& right, float drive) {
    for (std::vector<float>* channel : {&left, &right}) {
        double sum = 0.0;
        for (float s : *channel)
            sum += s;
        const float mean = static_cast<float>(sum / static_cast<double>(channel->size()));
        for (float& s : *channel)
            s -= mean;
    }
    float loudest = 1e-9f;
    for (std::size_t i = 0; i < left.size(); ++i)
        loudest = std::max({loudest, std::fabs(left[i]), std::fabs(right[i])});
    // The clipper's input peaks at `drive`; its output peak (at most 2/3) is scaled to 0.8, leaving room for
    // the overshoot of lossy encoding.
    const double in = drive / loudest;
    const double outPeak = softClip(std::min<double>(drive, 1.0));
    const double out = 0.8 / outPeak;
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<float>(softClip(left[i] * in) * out);
        right[i] = static_cast<float>(softClip(right[i] * in) * out);
    }
}

} // namespace

TStereoLoop renderSong(const TSong& song, int bars) {
    const int loopBars = bars > 0 ? std::min(bars, song.bars) : song.bars;
    const int loopFrames = song.framesPerBar() * loopBars;
    const int totalFrames = loopFrames + kTailFrames;
    const std::vector<float> duck = duckingCurve(song.events, loopFrames, song.mix.duckDepth);

    TStereoLoop dry;
    dry.left.assign(static_cast<std::size_t>(totalFrames), 0.0f);
    dry.right.assign(static_cast<std::size_t>(totalFrames), 0.0f);
    std::vector<float> echoSend(static_cast<std::size_t>(totalFrames), 0.0f);
    std::vector<float> roomSend(static_cast<std::size_t>(totalFrames), 0.0f);

    const TDrumKit kit;
    TVoice scratch;
    for (const TNoteEvent& event : song.events) {
        if (event.start >= loopFrames) continue;
        const TVoice& voice = voiceOf(event, kit, scratch);
        const int instrument = static_cast<int>(event.instrument);
        const TRouting& routing = kRouting[instrument];
        const float level = routing.level * song.mix.instrumentGain[instrument] * event.velocity;
        // Constant-power pan.
        const float panLeft = static_cast<float>(cosCycles((event.pan + 1.0) / 8.0));
        const float panRight = static_cast<float>(sinCycles((event.pan + 1.0) / 8.0));
        const int frames = std::min(static_cast<int>(voice.size()), totalFrames - event.start);
        int duckAt = event.start % loopFrames;
        for (int i = 0; i < frames; ++i) {
            const int at = event.start + i;
            float sample = voice[static_cast<std::size_t>(i)] * level;
            if (routing.ducked) sample *= duck[static_cast<std::size_t>(duckAt)];
            if (++duckAt == loopFrames) duckAt = 0;
            dry.left[static_cast<std::size_t>(at)] += sample * panLeft;
            dry.right[static_cast<std::size_t>(at)] += sample * panRight;
            echoSend[static_cast<std::size_t>(at)] += sample * routing.echo;
            roomSend[static_cast<std::size_t>(at)] += sample * routing.room;
        }
    }

    addEcho(echoSend, song.mix.delaySteps * song.samplesPerStep, song.mix.delayFeedback, dry.left, dry.right);
    addRoom(roomSend, song.mix.reverbRoom, dry.left, dry.right);

    // Fold the tail onto the start: what rings past the end is heard over the beginning of the next pass.
    for (int i = 0; i < kTailFrames; ++i) {
        const std::size_t from = static_cast<std::size_t>(loopFrames + i);
        const std::size_t to = static_cast<std::size_t>(i % loopFrames);
        dry.left[to] += dry.left[from];
        dry.right[to] += dry.right[from];
    }
    dry.left.resize(static_cast<std::size_t>(loopFrames));
    dry.right.resize(static_cast<std::size_t>(loopFrames));
    finishMaster(dry.left, dry.right, song.mix.drive);
    return dry;
}

} // namespace synth
