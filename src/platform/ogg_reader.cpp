// Ogg Vorbis decoding from one of our streams, through the build's Vorbis codec (codecs/). The whole
// stream is decoded at load into 16-bit PCM so that starting the music later costs nothing.
#include "platform/sound_decoders.h"

#include "platform/assets.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int64_t LongestPage = 27 + 255 + 255 * 255;
constexpr size_t FramesPerStep = 4096;

// libvorbisfile would otherwise decode the part that is there without a word.
bool endsWithFinalPage(TStream& stream, int64_t start) {
    const int64_t size = stream.size();
    const int64_t tailStart = std::max(start, size - LongestPage);
    if (size - tailStart < 27 || !stream.seek(tailStart, SEEK_SET)) return false;
    std::vector<uint8_t> tail(static_cast<size_t>(size - tailStart));
    if (stream.read(tail.data(), tail.size()) != tail.size()) return false;

    for (size_t page = tail.size() - 27 + 1; page-- > 0;) {
        if (std::memcmp(&tail[page], "OggS", 4) != 0) continue;
        const size_t segments = tail[page + 26];
        if (page + 27 + segments > tail.size()) continue;
        size_t pageSize = 27 + segments;
        for (size_t segment = 0; segment < segments; ++segment)
            pageSize += tail[page + 27 + segment];
        const bool lastPage = (tail[page + 5] & 0x04) != 0;
        return page + pageSize == tail.size() && lastPage;
    }
    return false;
}

} // namespace

bool oggStreamIsWhole(TStream& stream) {
    const int64_t start = stream.tell();
    const bool whole = endsWithFinalPage(stream, start);
    return stream.seek(start, SEEK_SET) && whole;
}

std::shared_ptr<TSoundClip> decodeOggVorbis(TStream& stream) {
    if (!oggStreamIsWhole(stream)) return nullptr;
    auto clip = std::make_shared<TSoundClip>();
    const std::unique_ptr<TOggDecoder> decoder = openOggDecoder(stream, *clip);
    if (!decoder) return nullptr;
    for (;;) {
        switch (decoder->decode(*clip, FramesPerStep)) {
        case TOggDecoder::Step::More:
            continue;
        case TOggDecoder::Step::Done:
            return clip;
        case TOggDecoder::Step::Failed:
            return nullptr;
        }
    }
}
