// Mixing: each playing voice steps through its clip at (clip rate / output rate) x speed frames per
// output frame, reading between samples by linear interpolation, and adds itself into a float
// accumulator that is clipped to 16 bits at the end.
#include "platform/mixer.h"

#include <algorithm>
#include <cmath>

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

double TMixer::position(int voice) const {
    const TVoice* found = findVoice(voice);
    return found ? found->position : 0;
}

void TMixer::mix(int16_t* output, size_t frames) {
    while (frames > 0) {
        const size_t chunk = std::min(frames, ChunkFrames);
        mixChunk(chunk, output != nullptr);
        if (output) {
            for (size_t sample = 0; sample < chunk * 2; ++sample) {
                const float value = std::clamp(accumulator[sample], -32768.0f, 32767.0f);
                output[sample] = static_cast<int16_t>(std::lrint(value));
            }
            output += chunk * 2;
        }
        frames -= chunk;
    }
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
