// TSoundBank: every sound effect, loaded once, and the channels that play them so that many overlap: a
// rotating pool of 30 general channels, a ring of 5 for explosions (each at a random pitch), and one
// channel for the craft's engine hum.
#pragma once

#include "platform/sound.h"

#include <array>

class TSoundBank {
public:
    static std::shared_ptr<TSoundBank> create();

    // Plays one effect. Explosions take the next channel of their ring at a random rate (rate ignored);
    // everything else takes the first idle pool channel from the cursor on.
    void play(const SoundClip& sound, float rate);

    std::array<SoundChannel, 30> pool;
    std::array<SoundChannel, 5> explosionPool;
    SoundChannel engineChannel;
    float effectsVolume = 1.0f;
    int poolCursor = 0;
    int explosionCursor = 0;

    SoundClip menuSound;
    SoundClip shieldSound;
    SoundClip fireSound;
    SoundClip explosionSound;
    SoundClip shotBurstSound;
    SoundClip holeHitSound;
    SoundClip holeExplodeSound;
    SoundClip entrySound0;
    SoundClip entrySound1;
    SoundClip entrySound2;
    SoundClip entrySound3;
    SoundClip entrySound5;
    SoundClip entrySound7;
    SoundClip entrySound8;
    SoundClip entrySound2b;
    SoundClip multiplierSound;
    SoundClip extraLifeSound;
    SoundClip engineSound;
};
