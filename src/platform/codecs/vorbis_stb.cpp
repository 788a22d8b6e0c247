// The Vorbis codec where libvorbis is not at hand (the browser build): stb_vorbis over the stream's bytes,
// read into memory once.
#include "platform/sound_decoders.h"

#include "platform/assets.h"

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb/stb_vorbis.h>

#include <vector>

namespace {

// More than the game's largest file; a stream that claims more is not one of ours.
constexpr int64_t LargestOggFile = int64_t{64} << 20;

class TStbVorbisDecoder final : public TOggDecoder {
public:
    std::vector<uint8_t> bytes;
    stb_vorbis* vorbis = nullptr;

    ~TStbVorbisDecoder() override {
        if (vorbis) stb_vorbis_close(vorbis);
    }

    Step decode(TSoundClip& clip, size_t frames) override {
        const size_t channels = static_cast<size_t>(clip.channelCount);
        size_t left = frames;
        while (left > 0) {
            const size_t chunk = left < 4096 ? left : 4096;
            const size_t first = clip.samples.size();
            if (first + chunk * channels > MostOggSamples) return Step::Failed;
            clip.samples.resize(first + chunk * channels);
            const int got = stb_vorbis_get_samples_short_interleaved(
                vorbis, clip.channelCount, &clip.samples[first], static_cast<int>(chunk * channels));
            clip.samples.resize(first + static_cast<size_t>(got) * channels);
            if (got == 0) {
                const int error = stb_vorbis_get_error(vorbis);
                return error == VORBIS__no_error || error == VORBIS_need_more_data ? Step::Done
                                                                                   : Step::Failed;
            }
            left -= static_cast<size_t>(got) < left ? static_cast<size_t>(got) : left;
        }
        return Step::More;
    }
};

} // namespace

std::unique_ptr<TOggDecoder> openOggDecoder(TStream& stream, TSoundClip& clip) {
    auto decoder = std::make_unique<TStbVorbisDecoder>();
    const int64_t size = stream.size() - stream.tell();
    if (size <= 0 || size > LargestOggFile) return nullptr;
    decoder->bytes.resize(static_cast<size_t>(size));
    if (stream.read(decoder->bytes.data(), decoder->bytes.size()) != decoder->bytes.size()) return nullptr;
    int error = 0;
    decoder->vorbis = stb_vorbis_open_memory(decoder->bytes.data(), static_cast<int>(decoder->bytes.size()),
                                             &error, nullptr);
    if (!decoder->vorbis) return nullptr;
    const stb_vorbis_info info = stb_vorbis_get_info(decoder->vorbis);
    if ((info.channels != 1 && info.channels != 2) || info.sample_rate < 1000 || info.sample_rate > 384000)
        return nullptr;
    clip.channelCount = info.channels;
    clip.sampleRate = static_cast<int>(info.sample_rate);
    const unsigned totalFrames = stb_vorbis_stream_length_in_samples(decoder->vorbis);
    if (totalFrames > 0 && static_cast<uint64_t>(totalFrames) * info.channels <= MostOggSamples)
        clip.samples.reserve(static_cast<size_t>(totalFrames) * info.channels);
    return decoder;
}
