// The software mixer behind the sound channels: voices that play decoded clips at their own gain and
// speed, summed and passed through a limiter into 16-bit stereo at the output rate. It knows nothing of
// the audio device or threads, so tests drive it directly; the sound module guards it with a lock and
// feeds the device from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <vector>

// A sound decoded fully into memory: interleaved 16-bit samples, never changed once loaded, so voices on
// any thread may share it.
struct TSoundClip {
    std::vector<int16_t> samples;
    int sampleRate = 44100;
    int channelCount = 1; // 1 or 2
    bool loop = false;
    // Valid while a background decode may still be filling the clip: nothing but the decoder may touch
    // the samples, rate or layout until it is ready. The sound module waits for it before any voice plays
    // the clip, so the mixer only ever sees whole clips.
    std::shared_future<void> decoded;

    size_t frameCount() const { return samples.size() / static_cast<size_t>(channelCount); }
};

class TMixer {
public:
    static constexpr int OutputRate = 44100;

    // Voices are numbered from 0; a released number is given out again.
    int addVoice();
    void releaseVoice(int voice);

    // Plays the clip from its start at gain 1 and speed 1, replacing what the voice played. A null clip
    // leaves the voice silent.
    void play(int voice, std::shared_ptr<const TSoundClip> clip, bool paused);
    void setGain(int voice, float gain);
    void setSpeed(int voice, float speed);
    void setPaused(int voice, bool paused);

    // True while the voice holds a sound that has not finished; a paused voice still holds its sound.
    bool isPlaying(int voice) const;
    bool isPaused(int voice) const;
    float gain(int voice) const;
    // The clip the voice holds, finished or not; null for none.
    const TSoundClip* clip(int voice) const;
    // Voice numbers run from 0 to below this.
    int voiceCount() const { return static_cast<int>(voices.size()); }
    // In frames of the voice's clip; fractional while resampling.
    double position(int voice) const;

    // Adds every playing voice into frames of interleaved stereo output (which it first clears). A null
    // output only advances the voices, for running without an audio device.
    void mix(int16_t* output, size_t frames);

    // The limiter is on from the start. Off, the sum is only clipped to 16 bits: for measuring what the
    // limiter does, never for play.
    void setLimiter(bool on) { limiterOn = on; }
    // The gain the limiter applies now, 1 when it is not holding the mix down.
    float limiterGain() const { return limiter.gain; }

private:
    struct TVoice {
        bool inUse = false;
        std::shared_ptr<const TSoundClip> clip;
        double position = 0;
        float gain = 1;
        float speed = 1;
        bool paused = false;
        bool playing = false;
    };

    // A peak limiter on both sides together, so the stereo picture stays put. Below the knee it does
    // nothing; above it a soft curve bends every level under the ceiling, so no sample ever reaches full
    // scale. The gain falls within about a millisecond and rises again over a few hundred, after being
    // held through the gaps between the peaks of a waveform, so a loud volley is turned down smoothly
    // rather than clipped, and one effect alone stays below the knee and is left alone.
    struct TLimiter {
        float gain = 1;   // smoothed gain in force
        int holdLeft = 0; // frames until the gain may rise again
    };

    static constexpr size_t ChunkFrames = 256;

    TVoice* findVoice(int voice);
    const TVoice* findVoice(int voice) const;
    void mixChunk(size_t frames, bool audible);
    void mixVoice(TVoice& voice, size_t frames, bool audible);
    void limitChunk(int16_t* output, size_t frames);

    std::vector<TVoice> voices;
    float accumulator[ChunkFrames * 2] = {};
    TLimiter limiter;
    bool limiterOn = true;
};
