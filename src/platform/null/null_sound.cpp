// The null backend's sound: no device, so the core advances the channels by the platform clock, and music
// is never decoded. A track loaded "in the background" is a clip of one silent frame that loops as the
// track would: it starts at once, plays for as long as the track would, and is heard by no one.
#include "platform/assets.h"
#include "platform/backend.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "platform/sound_device.h"

#include <cstdio>
#include <string_view>

void openSoundDevice() {}

bool soundDeviceRunning() {
    return false;
}

SoundClip loadSoundClipInBackground(std::string_view name, int flags) {
    std::unique_ptr<TStream> stream = openStream(name, false);
    if (!stream) return nullptr;
    char magic[4] = {};
    const bool ogg = stream->read(magic, 4) == 4 && std::string_view(magic, 4) == "OggS";
    if (!ogg) return loadSoundClip(name, flags);
    auto clip = std::make_shared<TSoundClip>();
    clip->samples.assign(1, 0);
    clip->loop = flags != 0;
    return clip;
}

void waitForSoundClip(const SoundClip& clip) {
    if (clip && clip->decoded.valid()) clip->decoded.wait();
}
