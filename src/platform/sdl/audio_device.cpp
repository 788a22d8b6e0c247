// The audio device: SDL's audio thread pulls the core's mix every 256 frames (about 5.8 ms).
#include "platform/backend.h"
#include "platform/mixer.h"
#include "platform/sound_device.h"

#include <SDL.h>

namespace {

constexpr int DeviceBufferFrames = 256;

SDL_AudioDeviceID device = 0;

void mixIntoDevice(void*, Uint8* stream, int bytes) {
    mixSoundChannels(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / 4);
}

} // namespace

void openSoundDevice() {
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) return;
    if (device != 0 && SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED) return;
    SDL_AudioSpec wanted{};
    wanted.freq = TMixer::OutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = DeviceBufferFrames;
    wanted.callback = mixIntoDevice;
    // No changes allowed: SDL converts to whatever the card wants, so the mixer has one format.
    const SDL_AudioDeviceID opened = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (opened == 0) return; // no sound card: the game runs silently
    device = opened;
    SDL_PauseAudioDevice(device, 0);
}

bool soundDeviceRunning() {
    // SDL may have been shut down under us, and the device with it.
    if (device != 0 && SDL_WasInit(SDL_INIT_AUDIO) == 0) device = 0;
    return device != 0;
}
