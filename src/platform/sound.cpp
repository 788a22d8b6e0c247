// Sound clips and channels over the mixer, and the mix the backend's audio device plays.
//
// The game thread and the audio device's thread share one mixer behind one lock. The lock is held only
// for a single command or for one mixing pass of a few milliseconds of sound, and nothing is allocated or
// freed on the audio thread: clips stay referenced by their voice until the game thread replaces them.
#include "platform/sound.h"

#include "platform/assets.h"
#include "platform/backend.h"
#include "platform/mixer.h"
#include "platform/platform_internal.h"
#include "platform/sound_decoders.h"
#include "platform/sound_probe.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// The game's handle to one voice of the mixer; the voice is given back when the last handle goes.
struct TSoundChannel {
    int voice = -1;
    ~TSoundChannel();
};

namespace {

// A WAVE file larger than this is not one of the game's effects.
constexpr int64_t LargestWaveFile = int64_t{64} << 20;
// Longer than any effect lasts: a longer stretch of silent time (a clock set back or far ahead) advances
// the channels by this much, which ends every sound that does not loop, without mixing minutes of nothing.
constexpr uint32_t LongestSilentStepMillis = 10000;

struct TSoundSystem {
    std::mutex lock;
    TMixer mixer;
    // Without a device the voices are advanced by the platform clock, so sounds still end; unset while a
    // device pulls the mix.
    std::optional<uint32_t> silentClock;
    double silentFramesOwed = 0;
    std::function<void(const TMixer&)> watcher; // tests only
};

// Never destroyed: the audio thread may still be mixing while the process ends.
TSoundSystem& soundSystem() {
    static TSoundSystem* system = new TSoundSystem;
    return *system;
}

// Called with the lock held.
void advanceSilently(TSoundSystem& system) {
    if (soundDeviceRunning()) {
        system.silentClock.reset();
        return;
    }
    const auto now = static_cast<uint32_t>(liveMillis());
    if (!system.silentClock) {
        system.silentClock = now;
        return;
    }
    const uint32_t elapsed = now - *system.silentClock;
    system.silentClock = now;
    if (static_cast<int32_t>(elapsed) <= 0) return; // the clock stood still or was set back
    system.silentFramesOwed +=
        static_cast<double>(std::min(elapsed, LongestSilentStepMillis)) * TMixer::OutputRate / 1000.0;
    const auto frames = static_cast<size_t>(system.silentFramesOwed);
    system.silentFramesOwed -= static_cast<double>(frames);
    if (frames > 0) system.mixer.mix(nullptr, frames);
}

std::vector<uint8_t> readWholeStream(TStream& stream, int64_t limit) {
    std::vector<uint8_t> bytes;
    const int64_t size = stream.size();
    if (size < 0 || size > limit) return bytes;
    bytes.resize(static_cast<size_t>(size));
    bytes.resize(stream.read(bytes.data(), bytes.size()));
    return bytes;
}

SoundChannel playOnChannel(const SoundClip& clip, const SoundChannel& channel, bool paused) {
    // Before the lock: the mixer must never wait on a decoder, and must only ever see whole clips.
    waitForSoundClip(clip);
    SoundChannel target = channel ? channel : allocateChannel();
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    advanceSilently(system);
    system.mixer.play(target->voice, clip, paused);
    if (system.watcher) system.watcher(system.mixer);
    return target;
}

template <typename Change> void changeChannel(const SoundChannel& channel, Change change) {
    if (!channel) return;
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    advanceSilently(system);
    change(system.mixer, channel->voice);
    if (system.watcher) system.watcher(system.mixer);
}

} // namespace

TSoundChannel::~TSoundChannel() {
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    system.mixer.releaseVoice(voice);
}

void mixSoundChannels(int16_t* output, size_t frames) {
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    system.mixer.mix(output, frames);
}

SoundClip loadSoundClip(std::string_view name, int flags) {
    auto stream = openStream(name, false);
    if (!stream) return nullptr;
    char magic[4] = {};
    if (stream->read(magic, 4) != 4 || !stream->seek(0, SEEK_SET)) return nullptr;

    std::shared_ptr<TSoundClip> clip;
    if (std::string_view(magic, 4) == "RIFF") {
        const std::vector<uint8_t> bytes = readWholeStream(*stream, LargestWaveFile);
        clip = decodeWave(bytes.data(), bytes.size());
    } else if (std::string_view(magic, 4) == "OggS") {
        clip = decodeOggVorbis(*stream);
    }
    if (clip) clip->loop = flags != 0;
    return clip;
}

SoundChannel allocateChannel() {
    auto channel = std::make_shared<TSoundChannel>();
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    channel->voice = system.mixer.addVoice();
    return channel;
}

SoundChannel startSound(const SoundClip& clip, const SoundChannel& channel) {
    return playOnChannel(clip, channel, false);
}

SoundChannel prepareSound(const SoundClip& clip, const SoundChannel& channel) {
    return playOnChannel(clip, channel, true);
}

void setChannelGain(const SoundChannel& channel, float volume) {
    changeChannel(channel, [volume](TMixer& mixer, int voice) { mixer.setGain(voice, volume); });
}

void setChannelSpeed(const SoundChannel& channel, float rate) {
    changeChannel(channel, [rate](TMixer& mixer, int voice) { mixer.setSpeed(voice, rate); });
}

void suspendChannel(const SoundChannel& channel) {
    changeChannel(channel, [](TMixer& mixer, int voice) { mixer.setPaused(voice, true); });
}

void continueChannel(const SoundChannel& channel) {
    changeChannel(channel, [](TMixer& mixer, int voice) { mixer.setPaused(voice, false); });
}

int isChannelPlaying(const SoundChannel& channel) {
    // A paused channel counts as idle. The effects pool hands idle channels out again, and a looping
    // effect that was stopped by pausing it (the swarm's hum) must not keep its pool channel for ever.
    bool playing = false;
    changeChannel(channel, [&playing](TMixer& mixer, int voice) {
        playing = mixer.isPlaying(voice) && !mixer.isPaused(voice);
    });
    return playing ? 1 : 0;
}

int isChannelHolding(const SoundChannel& channel, const SoundClip& clip) {
    if (!clip) return 0;
    bool holding = false;
    changeChannel(channel, [&holding, &clip](TMixer& mixer, int voice) {
        holding = mixer.isPlaying(voice) && mixer.clip(voice) == clip.get();
    });
    return holding ? 1 : 0;
}

// --- Test probe -----------------------------------------------------------------------------------------

int channelVoice(const SoundChannel& channel) {
    return channel ? channel->voice : -1;
}

void inspectMixer(const std::function<void(const TMixer&)>& look) {
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    look(system.mixer);
}

void watchMixer(std::function<void(const TMixer&)> watcher) {
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    system.watcher = std::move(watcher);
}
