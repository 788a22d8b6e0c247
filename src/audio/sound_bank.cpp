// Loading the effects and spreading them over the channels, so that a busy frame's sounds overlap
// instead of cutting each other off.
#include "audio/sound_bank.h"

#include "platform/random.h"

#include <string>

namespace {

constexpr int Looping = 1;

SoundClip loadEffect(const char* file, int flags = 0) {
    return loadSoundClip(std::string("incbin::") + file, flags);
}

} // namespace

std::shared_ptr<TSoundBank> TSoundBank::create() {
    auto bank = std::make_shared<TSoundBank>();
    for (SoundChannel& channel : bank->pool)
        channel = allocateChannel();
    for (SoundChannel& channel : bank->explosionPool)
        channel = allocateChannel();
    bank->engineChannel = allocateChannel();

    bank->menuSound = loadEffect("fx_menu.wav");
    bank->shieldSound = loadEffect("fx_shield.wav");
    bank->fireSound = loadEffect("fx_player_fire.wav");
    bank->explosionSound = loadEffect("fx_expl.wav");
    bank->shotBurstSound = loadEffect("fx_bull_expl.wav");
    bank->holeHitSound = loadEffect("fx_hole_hit.wav");
    bank->holeExplodeSound = loadEffect("fx_hole_expl.wav");
    bank->entrySound0 = loadEffect("fx_entry0.wav");
    bank->entrySound1 = loadEffect("fx_entry1.wav");
    bank->entrySound2 = loadEffect("fx_entry2.wav");
    bank->entrySound3 = loadEffect("fx_entry3.wav");
    bank->entrySound5 = loadEffect("fx_entry5.wav");
    bank->entrySound7 = loadEffect("fx_entry7.wav");
    bank->entrySound8 = loadEffect("fx_entry8.wav", Looping);
    // A load of its own, so one spawn pattern's entry sound is a clip apart from the common one.
    bank->entrySound2b = loadEffect("fx_entry2.wav");
    bank->multiplierSound = loadEffect("fx_ding1.wav");
    bank->extraLifeSound = loadEffect("fx_ding2.wav");
    bank->engineSound = loadEffect("fx_player_move.wav", Looping);

    // Cued once and left paused: the craft only resumes and pauses it.
    bank->engineChannel = prepareSound(bank->engineSound, bank->engineChannel);
    return bank;
}

void TSoundBank::play(const SoundClip& sound, float rate) {
    // A clip that failed to load has nothing to play, and must not pass for the explosion either.
    if (!sound) return;

    if (sound == explosionSound) {
        // Every explosion takes the ring's next channel, cutting off the one five explosions back; the
        // random pitch keeps a chain of kills from sounding like one repeated sample.
        const SoundChannel& channel = explosionPool[static_cast<size_t>(explosionCursor)];
        prepareSound(sound, channel);
        setChannelGain(channel, effectsVolume);
        setChannelSpeed(channel, static_cast<float>(randomReal(0.7, 1.0)));
        continueChannel(channel);
        explosionCursor = (explosionCursor + 1) % static_cast<int>(explosionPool.size());
        return;
    }

    // The first idle channel from the cursor on. With every channel busy the search comes back to where
    // it began and takes that channel: the effect is heard, and a channel held by a paused loop can never
    // leave the pool silent for good.
    const int poolSize = static_cast<int>(pool.size());
    for (int tried = 0; tried < poolSize && isChannelPlaying(pool[static_cast<size_t>(poolCursor)]); ++tried)
        poolCursor = (poolCursor + 1) % poolSize;

    const SoundChannel& channel = pool[static_cast<size_t>(poolCursor)];
    prepareSound(sound, channel);
    setChannelGain(channel, effectsVolume);
    setChannelSpeed(channel, rate);
    continueChannel(channel);
}
