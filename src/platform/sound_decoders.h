// The two sound file formats the game carries. Both read every length they are given against the bytes
// actually there, and give null for anything they cannot decode in full.
#pragma once

#include "platform/mixer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TStream;

// A RIFF WAVE file of 8-bit unsigned or 16-bit signed PCM, mono or stereo, held in memory.
std::shared_ptr<TSoundClip> decodeWave(const uint8_t* bytes, size_t size);
// An Ogg Vorbis stream, mono or stereo, read from the current position to its end.
std::shared_ptr<TSoundClip> decodeOggVorbis(TStream& stream);
