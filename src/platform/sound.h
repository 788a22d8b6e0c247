// Sound clips decoded fully into memory and the channels that play them. Mixing runs on the audio
// thread; every call here is made from the game thread and is picked up by the next mixing pass. With no
// audio device every operation still works and nothing is heard.
#pragma once

#include <memory>
#include <string_view>

struct TSoundClip;
struct TSoundChannel;
using SoundClip = std::shared_ptr<TSoundClip>;
using SoundChannel = std::shared_ptr<TSoundChannel>;

// RIFF WAVE PCM (8/16-bit, mono/stereo) or Ogg Vorbis; non-zero flags make the clip loop when played.
// A missing, truncated or corrupt file gives null.
SoundClip loadSoundClip(std::string_view name, int flags);
// As loadSoundClip, but an Ogg Vorbis file is decoded on a background thread, one such clip after another
// in the order asked, and the clip comes back at once. Starting or preparing it waits until it is whole,
// so no part of it is ever played before it is decoded. A stream found damaged while decoding leaves the
// clip empty: it plays as silence. Any other file is loaded at once, as loadSoundClip does. An embedded
// file ("incbin::") asked for again with the same flags gives the same clip: it is decoded once per process.
SoundClip loadSoundClipInBackground(std::string_view name, int flags);
// Waits until a clip loaded in the background is decoded; returns at once for any other clip.
void waitForSoundClip(const SoundClip& clip);
SoundChannel allocateChannel();
// Plays from the start at gain 1 and speed 1, replacing what the channel played; null takes a new channel.
SoundChannel startSound(const SoundClip& clip, const SoundChannel& channel);
// As startSound, but the channel waits paused until continueChannel.
SoundChannel prepareSound(const SoundClip& clip, const SoundChannel& channel);
void setChannelGain(const SoundChannel& channel, float volume);
void setChannelSpeed(const SoundChannel& channel, float rate);
void suspendChannel(const SoundChannel& channel);
void continueChannel(const SoundChannel& channel);
int isChannelPlaying(const SoundChannel& channel);
// 1 while the channel still holds this clip, playing or paused: nothing has replaced it and it has not
// played to its end. A looping sound that others may have displaced is stopped only when this holds.
int isChannelHolding(const SoundChannel& channel, const SoundClip& clip);
