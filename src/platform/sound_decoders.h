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

// Two stereo tracks of several minutes fit easily; a stream claiming more is not one of ours.
constexpr size_t MostOggSamples = size_t{64} << 20;

// An Ogg Vorbis stream decoded a piece at a time, so that a program without threads can decode a track
// between frames. The codec behind it is the build's (codecs/): libvorbisfile on the desktop, stb_vorbis
// in the browser.
class TOggDecoder {
public:
    enum class Step { More, Done, Failed };
    virtual ~TOggDecoder() = default;
    // Appends about this many frames (or the rest) to the clip's samples. Failed for a damaged stream, a
    // change of layout between chained links or more than MostOggSamples in all.
    virtual Step decode(TSoundClip& clip, size_t frames) = 0;
};
// Opens the stream at its current position and sets the clip's rate and channel count; null when it is
// not an Ogg Vorbis stream of one or two channels. The stream must outlive the decoder. Whether the
// stream is whole is decodeOggVorbis's check (oggStreamIsWhole), not the decoder's.
std::unique_ptr<TOggDecoder> openOggDecoder(TStream& stream, TSoundClip& clip);
// A stream cut short loses its last page: the file must end exactly at the end of a page that carries
// the end-of-stream mark. Leaves the stream where it was.
bool oggStreamIsWhole(TStream& stream);
