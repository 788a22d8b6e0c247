// Mixing: each playing voice steps through its clip at (clip rate / output rate) x speed frames per
// output frame, reading between samples by linear interpolation, and adds itself into a float
// accumulator; the limiter then brings the sum under full scale before it becomes 16 bits.
#include "platform/mixer.h"

#include <algorithm>
#include <cmath>

namespace {

// Levels in 16-bit sample units. The knee sits above every effect alone (the loudest peaks at 0.85 of
// full scale) and close under the title track's peaks (0.9), which it bends by less than 0.3 dB; the
// ceiling leaves a little room under full scale.
constexpr float Knee = 0.70f * 32768.0f;
constexpr float Ceiling = 0.97f * 32768.0f;
constexpr float KneeSpan = Ceiling - Knee;

// Per-frame smoothing factors at 44100 Hz: the gain falls with a time constant of 1 ms and rises with
// one of 150 ms, after holding for 20 ms (a whole period of the lowest tones the game plays).
constexpr float Attack = 0.0224f;    // 1 - exp(-1 / (0.001 * 44100))
constexpr float Release = 0.000151f; // 1 - exp(-1 / (0.150 * 44100))
constexpr int HoldFrames = 882;

// The gain that bends a level onto the soft curve: straight up to the knee, then rising ever more
// slowly towards the ceiling, with no corner where the two meet.
float curveGain(float level) {
    if (level <= Knee) return 1.0f;
    return (Knee + KneeSpan * std::tanh((level - Knee) / KneeSpan)) / level;
}

int16_t toSample(float value) {
    return static_cast<int16_t>(std::lrint(std::clamp(value, -32768.0f, 32767.0f)));
}

} // namespace

int TMixer::addVoice() {
    for (size_t index = 0; index < voices.size(); ++index) {
        if (!voices[index].inUse) {
            voices[index] = TVoice{};
            voices[index].inUse = true;
            return static_cast<int>(index);
        }
    }
    voices.push_back(TVoice{});
    voices.back().inUse = true;
    return static_cast<int>(voices.size() - 1);
}

void TMixer::releaseVoice(int voice) {
    if (TVoice* found = findVoice(voice)) *found = TVoice{};
}

void TMixer::play(int voice, std::shared_ptr<const TSoundClip> clip, bool paused) {
    TVoice* found = findVoice(voice);
    if (!found) return;
    found->playing = clip != nullptr;
    found->clip = std::move(clip);
    found->position = 0;
    found->gain = 1;
    found->speed = 1;
    found->paused = paused;
}

void TMixer::setGain(int voice, float gain) {
    // Negative or NaN gains would invert or poison the mix.
    if (TVoice* found = findVoice(voice)) found->gain = gain > 0 ? gain : 0;
}

void TMixer::setSpeed(int voice, float speed) {
    // A voice cannot run backwards; a speed of 0 holds it where it is.
    if (TVoice* found = findVoice(voice)) found->speed = speed > 0 ? speed : 0;
}

void TMixer::setPaused(int voice, bool paused) {
    if (TVoice* found = findVoice(voice)) found->paused = paused;
}

bool TMixer::isPlaying(int voice) const {
    const TVoice* found = findVoice(voice);
    return found && found->playing;
}

bool TMixer::isPaused(int voice) const {
    const TVoice* found = findVoice(voice);
    return found && found->paused;
}

float TMixer::gain(int voice) const {
    const TVoice* found = findVoice(voice);
    return found ? found->gain : 0;
}

const TSoundClip* TMixer::clip(int voice) const {
    const TVoice* found = findVoice(voice);
    return found ? found->clip.get() : nullptr;
}

double TMixer::position(int voice) const {
    const TVoice* found = findVoice(voice);
    return found ? found->position : 0;
}

void TMixer::mix(int16_t* output, size_t frames) {
    while (frames > 0) {
        const size_t chunk = std::min(frames, ChunkFrames);
        mixChunk(chunk, output != nullptr);
        if (output) {
            if (limiterOn) {
                limitChunk(output, chunk);
            } else {
                for (size_t sample = 0; sample < chunk * 2; ++sample)
                    output[sample] = toSample(accumulator[sample]);
            }
            output += chunk * 2;
        }
        frames -= chunk;
    }
}

void TMixer::limitChunk(int16_t* output, size_t frames) {
    float gain = limiter.gain;
    int holdLeft = limiter.holdLeft;
    for (size_t frame = 0; frame < frames; ++frame) {
        const float left = accumulator[frame * 2], right = accumulator[frame * 2 + 1];
        const float target = curveGain(std::max(std::fabs(left), std::fabs(right)));
        if (target < gain) {
            gain += (target - gain) * Attack;
            holdLeft = HoldFrames;
        } else if (holdLeft > 0) {
            --holdLeft;
        } else {
            // Near the target the step falls under the float's resolution and the gain would stop short
            // of it for good (at about 0.9998 below the knee, scaling every later sample); it then takes
            // the target itself, so below the knee the output is the plain mix again, bit for bit.
            const float released = gain + (target - gain) * Release;
            gain = released == gain ? target : released;
        }
        // The smoothed gain takes a millisecond to come down; until it has, the curve itself keeps the
        // new peak under the ceiling.
        const float applied = std::min(gain, target);
        output[frame * 2] = toSample(left * applied);
        output[frame * 2 + 1] = toSample(right * applied);
    }
    limiter.gain = gain;
    limiter.holdLeft = holdLeft;
}

TMixer::TVoice* TMixer::findVoice(int voice) {
    if (voice < 0 || static_cast<size_t>(voice) >= voices.size() || !voices[voice].inUse) return nullptr;
    return &voices[voice];
}

const TMixer::TVoice* TMixer::findVoice(int voice) const {
    if (voice < 0 || static_cast<size_t>(voice) >= voices.size() || !voices[voice].inUse) return nullptr;
    return &voices[voice];
}

void TMixer::mixChunk(size_t frames, bool audible) {
    if (audible) std::fill(accumulator, accumulator + frames * 2, 0.0f);
    for (TVoice& voice : voices) {
        if (voice.inUse && voice.playing && !voice.paused) mixVoice(voice, frames, audible);
    }
}

void TMixer::mixVoice(TVoice& voice, size_t frames, bool audible) {
    const TSoundClip& clip = *voice.clip;
    const size_t clipFrames = clip.frameCount();
    const int channels = clip.channelCount;
    const int16_t* samples = clip.samples.data();
    const double step = static_cast<double>(voice.speed) * clip.sampleRate / OutputRate;
    const float gain = voice.gain;

    if (clipFrames == 0) {
        voice.playing = false;
        return;
    }
    // The position is always inside the clip here: it is wrapped or the voice ends as soon as it leaves.
    for (size_t frame = 0; frame < frames; ++frame) {
        if (audible) {
            const size_t index = static_cast<size_t>(voice.position);
            const float fraction = static_cast<float>(voice.position - static_cast<double>(index));
            // The sample after the last is the first again in a loop, and silence at a clip's end.
            size_t next = index + 1;
            const bool nextExists = next < clipFrames || clip.loop;
            if (next >= clipFrames) next = 0;
            for (int side = 0; side < 2; ++side) {
                const int channel = channels == 2 ? side : 0;
                const float current = samples[index * channels + channel];
                const float following = nextExists ? samples[next * channels + channel] : 0.0f;
                accumulator[frame * 2 + side] += (current + (following - current) * fraction) * gain;
            }
        }
        voice.position += step;
        if (voice.position >= static_cast<double>(clipFrames)) {
            if (!clip.loop) {
                voice.playing = false;
                return;
            }
            voice.position = std::fmod(voice.position, static_cast<double>(clipFrames));
        }
    }
}
