// RIFF WAVE reading: walks the chunks after "RIFF" size "WAVE", takes the "fmt " and "data" chunks and
// skips any other. Sizes in the file are never trusted beyond the bytes actually present.
#include "platform/sound_decoders.h"

#include <cstring>

namespace {

// Every rate a sound card could be asked for; anything else is a damaged header.
constexpr uint32_t LowestRate = 1000;
constexpr uint32_t HighestRate = 384000;
constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatExtensible = 0xFFFE;

uint16_t readU16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

uint32_t readU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

struct TWaveFormat {
    int channels = 0;
    uint32_t rate = 0;
    int bits = 0;
};

bool readFormat(const uint8_t* body, size_t size, TWaveFormat& format) {
    if (size < 16) return false;
    uint16_t tag = readU16(body);
    // The extensible header names the real format in the first two bytes of its sub-format GUID.
    if (tag == FormatExtensible && size >= 26) tag = readU16(body + 24);
    if (tag != FormatPcm) return false;
    format.channels = readU16(body + 2);
    format.rate = readU32(body + 4);
    format.bits = readU16(body + 14);
    return (format.channels == 1 || format.channels == 2) && (format.bits == 8 || format.bits == 16) &&
           format.rate >= LowestRate && format.rate <= HighestRate;
}

} // namespace

std::shared_ptr<TSoundClip> decodeWave(const uint8_t* bytes, size_t size) {
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        return nullptr;
    }
    TWaveFormat format;
    bool haveFormat = false;
    const uint8_t* data = nullptr;
    size_t dataSize = 0;

    // Offsets are 64-bit so a chunk size near 4 GB cannot wrap around to an earlier offset.
    uint64_t offset = 12;
    while (offset + 8 <= size && !(haveFormat && data)) {
        const uint8_t* header = bytes + offset;
        const uint64_t chunkSize = readU32(header + 4);
        const uint64_t bodyStart = offset + 8;
        const bool complete = bodyStart + chunkSize <= size;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (!complete || !readFormat(bytes + bodyStart, chunkSize, format)) return nullptr;
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!complete) return nullptr; // cut short: the sound would end early or play garbage
            data = bytes + bodyStart;
            dataSize = chunkSize;
        }
        // Chunks are padded to an even length.
        offset = bodyStart + chunkSize + (chunkSize & 1);
    }
    if (!haveFormat || !data) return nullptr;

    auto clip = std::make_shared<TSoundClip>();
    clip->sampleRate = static_cast<int>(format.rate);
    clip->channelCount = format.channels;
    const size_t bytesPerSample = format.bits / 8;
    const size_t sampleCount = dataSize / (bytesPerSample * format.channels) * format.channels;
    clip->samples.resize(sampleCount);
    for (size_t sample = 0; sample < sampleCount; ++sample) {
        if (bytesPerSample == 1) {
            clip->samples[sample] = static_cast<int16_t>((data[sample] - 128) * 256);
        } else {
            clip->samples[sample] = static_cast<int16_t>(readU16(data + sample * 2));
        }
    }
    return clip;
}
