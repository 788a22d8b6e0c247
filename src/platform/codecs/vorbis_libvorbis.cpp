// The Vorbis codec on the desktop: libvorbisfile, reading from one of our streams.
#include "platform/sound_decoders.h"

#include "platform/assets.h"

#include <vorbis/vorbisfile.h>

#include <bit>
#include <cstdio>
#include <cstring>

namespace {

size_t readFromStream(void* buffer, size_t size, size_t count, void* source) {
    if (size == 0) return 0;
    return static_cast<TStream*>(source)->read(buffer, size * count) / size;
}

int seekInStream(void* source, ogg_int64_t offset, int whence) {
    return static_cast<TStream*>(source)->seek(offset, whence) ? 0 : -1;
}

long tellInStream(void* source) {
    return static_cast<long>(static_cast<TStream*>(source)->tell());
}

class TVorbisFileDecoder final : public TOggDecoder {
public:
    OggVorbis_File file{};

    ~TVorbisFileDecoder() override { ov_clear(&file); }

    Step decode(TSoundClip& clip, size_t frames) override {
        const size_t wanted = clip.samples.size() + frames * static_cast<size_t>(clip.channelCount);
        char buffer[8192];
        while (clip.samples.size() < wanted) {
            int section = 0;
            constexpr int bigEndian = std::endian::native == std::endian::big ? 1 : 0;
            const long bytes = ov_read(&file, buffer, sizeof buffer, bigEndian, 2, 1, &section);
            if (bytes == 0) return Step::Done;
            if (bytes < 0) return Step::Failed; // a hole or a broken link: the data is damaged
            // A chained stream may change its layout between links; ours never do.
            const vorbis_info* sectionInfo = ov_info(&file, section);
            if (!sectionInfo || sectionInfo->channels != clip.channelCount ||
                sectionInfo->rate != clip.sampleRate)
                return Step::Failed;
            const size_t samples = static_cast<size_t>(bytes) / 2;
            if (clip.samples.size() + samples > MostOggSamples) return Step::Failed;
            const size_t first = clip.samples.size();
            clip.samples.resize(first + samples);
            std::memcpy(&clip.samples[first], buffer, samples * 2);
        }
        return Step::More;
    }
};

} // namespace

std::unique_ptr<TOggDecoder> openOggDecoder(TStream& stream, TSoundClip& clip) {
    auto decoder = std::make_unique<TVorbisFileDecoder>();
    const ov_callbacks callbacks = {readFromStream, seekInStream, nullptr, tellInStream};
    if (ov_open_callbacks(&stream, &decoder->file, nullptr, 0, callbacks) != 0) {
        // ov_open_callbacks clears the file itself when it fails; the destructor may clear it again.
        std::memset(&decoder->file, 0, sizeof decoder->file);
        return nullptr;
    }
    const vorbis_info* info = ov_info(&decoder->file, -1);
    if (!info || (info->channels != 1 && info->channels != 2) || info->rate < 1000 || info->rate > 384000)
        return nullptr;
    clip.channelCount = info->channels;
    clip.sampleRate = static_cast<int>(info->rate);
    const ogg_int64_t totalFrames = ov_pcm_total(&decoder->file, -1);
    if (totalFrames > 0 && static_cast<uint64_t>(totalFrames) * info->channels <= MostOggSamples)
        clip.samples.reserve(static_cast<size_t>(totalFrames) * info->channels);
    return decoder;
}
