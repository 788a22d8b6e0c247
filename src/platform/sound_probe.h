// For tests only: the mixer as the channels left it. Never included by the game.
#pragma once

#include "platform/sound.h"

#include <functional>

class TMixer;

// The mixer voice behind a channel; -1 for none.
int channelVoice(const SoundChannel& channel);
// Runs look with the mixer locked, so the audio thread cannot mix in between.
void inspectMixer(const std::function<void(const TMixer&)>& look);
// Called with the mixer locked after every change a sound or channel operation makes, so it sees every
// state the audio thread could mix from. An empty watcher removes it.
void watchMixer(std::function<void(const TMixer&)> watcher);
