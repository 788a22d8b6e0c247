// Ogg Vorbis decoding through libvorbisfile, reading from one of our streams. The whole stream is
// decoded at load into 16-bit PCM so that starting the music later costs nothing.
#include "platform/sound_decoders.h"

#include "platform/assets.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Two stereo tracks of several minutes fit easily; a stream claiming more is not one of ours.
constexpr size_t MostSamples = size_t{64} << 20;
constexpr int64_t LongestPage = 27 + 255 + 255 * 255;

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

// A stream cut short loses its last page: the file must end exactly at the end of a page that carries
// the end-of-stream mark. libvorbisfile would otherwise decode the part that is there without a word.
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

std::shared_ptr<TSoundClip> decodeOpened(OggVorbis_File& file) {
    const vorbis_info* info = ov_info(&file, -1);
    if (!info || (info->channels != 1 && info->channels != 2) || info->rate < 1000 || info->rate > 384000) {
        return nullptr;
    }
    auto clip = std::make_shared<TSoundClip>();
    clip->channelCount = info->channels;
    clip->sampleRate = static_cast<int>(info->rate);
    const ogg_int64_t totalFrames = ov_pcm_total(&file, -1);
    if (totalFrames > 0 && static_cast<uint64_t>(totalFrames) * info->channels <= MostSamples) {
        clip->samples.reserve(static_cast<size_t>(totalFrames) * info->channels);
    }

    char buffer[8192];
    for (;;) {
        int section = 0;
        constexpr int bigEndian = std::endian::native == std::endian::big ? 1 : 0;
        const long bytes = ov_read(&file, buffer, sizeof buffer, bigEndian, 2, 1, &section);
        if (bytes == 0) break;
        if (bytes < 0) return nullptr; // a hole or a broken link: the data is damaged
        // A chained stream may change its layout between links; ours never do.
        const vorbis_info* sectionInfo = ov_info(&file, section);
        if (!sectionInfo || sectionInfo->channels != clip->channelCount || sectionInfo->rate != info->rate) {
            return nullptr;
        }
        const size_t samples = static_cast<size_t>(bytes) / 2;
        if (clip->samples.size() + samples > MostSamples) return nullptr;
        const size_t first = clip->samples.size();
        clip->samples.resize(first + samples);
        std::memcpy(&clip->samples[first], buffer, samples * 2);
    }
    return clip;
}

} // namespace

std::shared_ptr<TSoundClip> decodeOggVorbis(TStream& stream) {
    const int64_t start = stream.tell();
    if (!endsWithFinalPage(stream, start) || !stream.seek(start, SEEK_SET)) return nullptr;

    const ov_callbacks callbacks = {readFromStream, seekInStream, nullptr, tellInStream};
    OggVorbis_File file;
    if (ov_open_callbacks(&stream, &file, nullptr, 0, callbacks) != 0) return nullptr;
    auto clip = decodeOpened(file);
    ov_clear(&file);
    return clip;
}
