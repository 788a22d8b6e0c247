// Sound clips and channels over the mixer, and the audio device that plays the mix.
//
// The game thread and SDL's audio thread share one mixer behind one lock. The lock is held only for a
// single command or for one mixing pass of a few milliseconds of sound, and nothing is allocated or
// freed on the audio thread: clips stay referenced by their voice until the game thread replaces them.
#include "platform/sound.h"

#include "platform/assets.h"
#include "platform/mixer.h"
#include "platform/sound_decoders.h"
#include "platform/sound_device.h"
#include "platform/sound_probe.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <vector>

// The game's handle to one voice of the mixer; the voice is given back when the last handle goes.
struct TSoundChannel {
    int voice = -1;
    ~TSoundChannel();
};

namespace {

// A WAVE file larger than this is not one of the game's effects.
constexpr int64_t LargestWaveFile = int64_t{64} << 20;
// About 5.8 ms of sound per mixing pass at 44100 Hz.
constexpr int DeviceBufferFrames = 256;

struct TSoundSystem {
    std::mutex lock;
    TMixer mixer;
    SDL_AudioDeviceID device = 0;
    // Without a device the voices are advanced by the time that has passed, so sounds still end.
    std::chrono::steady_clock::time_point silentClock = std::chrono::steady_clock::now();
    double silentFramesOwed = 0;
    std::function<void(const TMixer&)> watcher; // tests only
};

// Never destroyed: the audio thread may still be mixing while the process ends.
TSoundSystem& soundSystem() {
    static TSoundSystem* system = new TSoundSystem;
    return *system;
}

void mixIntoDevice(void*, Uint8* stream, int bytes) {
    TSoundSystem& system = soundSystem();
    std::lock_guard guard(system.lock);
    system.mixer.mix(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / 4);
}

// Called with the lock held.
void advanceSilently(TSoundSystem& system) {
    const auto now = std::chrono::steady_clock::now();
    if (system.device != 0) {
        if (SDL_WasInit(SDL_INIT_AUDIO) != 0) return;
        // SDL was shut down under us, and the device with it.
        system.device = 0;
        system.silentClock = now;
    }
    system.silentFramesOwed +=
        std::chrono::duration<double>(now - system.silentClock).count() * TMixer::OutputRate;
    system.silentClock = now;
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

void openSoundDevice() {
    TSoundSystem& system = soundSystem();
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) return;
    if (system.device != 0 && SDL_GetAudioDeviceStatus(system.device) != SDL_AUDIO_STOPPED) return;
    SDL_AudioSpec wanted{};
    wanted.freq = TMixer::OutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = DeviceBufferFrames;
    wanted.callback = mixIntoDevice;
    // No changes allowed: SDL converts to whatever the card wants, so the mixer has one format.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) return; // no sound card: the game runs silently
    {
        std::lock_guard guard(system.lock);
        advanceSilently(system);
        system.device = device;
    }
    SDL_PauseAudioDevice(device, 0);
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
