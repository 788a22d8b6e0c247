#include "platform/assets.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "platform/sound_decoders.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

void put16(std::string& bytes, uint32_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::string& bytes, uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

std::string chunk(const char* id, const std::string& body, uint32_t claimedSize) {
    std::string bytes(id, 4);
    put32(bytes, claimedSize);
    bytes += body;
    if (body.size() & 1) bytes.push_back('\0');
    return bytes;
}

std::string chunk(const char* id, const std::string& body) {
    return chunk(id, body, static_cast<uint32_t>(body.size()));
}

std::string formatBody(int channels, int rate, int bits, int tag = 1) {
    std::string body;
    put16(body, tag);
    put16(body, channels);
    put32(body, rate);
    put32(body, rate * channels * bits / 8);
    put16(body, channels * bits / 8);
    put16(body, bits);
    return body;
}

std::string riff(const std::string& chunks) {
    std::string bytes = "RIFF";
    put32(bytes, static_cast<uint32_t>(chunks.size() + 4));
    return bytes + "WAVE" + chunks;
}

std::string wave(int channels, int rate, int bits, const std::string& data) {
    return riff(chunk("fmt ", formatBody(channels, rate, bits)) + chunk("data", data));
}

std::string samples16(const std::vector<int16_t>& samples) {
    std::string bytes;
    for (int16_t sample : samples)
        put16(bytes, static_cast<uint16_t>(sample));
    return bytes;
}

// Tests run in parallel in one directory, so each writes files of its own.
std::string writeBytes(const std::string& bytes, const std::string& suffix) {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name() + suffix;
    std::ofstream(name, std::ios::binary) << bytes;
    return name;
}

SoundClip loadBytes(const std::string& bytes, const std::string& suffix = ".bin", int flags = 0) {
    return loadSoundClip(writeBytes(bytes, suffix), flags);
}

// A stereo tone encoded with libvorbisenc, as the music tracks are made.
std::string encodeTone(double frequency, double seconds, int rate) {
    vorbis_info info;
    vorbis_info_init(&info);
    EXPECT_EQ(vorbis_encode_init_vbr(&info, 2, rate, 0.4f), 0);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    std::string bytes;
    auto appendPage = [&bytes](const ogg_page& page) {
        bytes.append(reinterpret_cast<const char*>(page.header), page.header_len);
        bytes.append(reinterpret_cast<const char*>(page.body), page.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        appendPage(page);

    const int frames = static_cast<int>(seconds * rate);
    int written = 0;
    bool finished = false;
    while (!finished) {
        const int count = std::min(1024, frames - written);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, count);
            for (int frame = 0; frame < count; ++frame) {
                const float value = 0.5f * std::sin(2 * M_PI * frequency * (written + frame) / rate);
                buffer[0][frame] = value;
                buffer[1][frame] = -value;
            }
            written += count;
        }
        vorbis_analysis_wrote(&dsp, count > 0 ? count : 0);
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    appendPage(page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return bytes;
}

} // namespace

TEST(WaveReading, EightBitSamplesAreUnsignedAroundTheMiddle) {
    const SoundClip clip = loadBytes(wave(2, 22050, 8, std::string("\x00\xFF\x80\x81", 4)));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->channelCount, 2);
    EXPECT_EQ(clip->sampleRate, 22050);
    EXPECT_EQ(clip->frameCount(), 2u);
    EXPECT_EQ(clip->samples, (std::vector<int16_t>{-32768, 32512, 0, 256}));
}

TEST(WaveReading, SixteenBitSamplesAreSignedLittleEndian) {
    const std::vector<int16_t> samples = {-1234, 32767, -32768, 0, 1};
    const SoundClip clip = loadBytes(wave(1, 44100, 16, samples16(samples)));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->channelCount, 1);
    EXPECT_EQ(clip->sampleRate, 44100);
    EXPECT_EQ(clip->samples, samples);
}

TEST(WaveReading, OtherChunksAreSkippedWhereverTheyAre) {
    const std::string bytes =
        riff(chunk("LIST", "odd") + chunk("fmt ", formatBody(1, 22050, 16)) + chunk("fact", "1234") +
             chunk("data", samples16({7, -7})) + chunk("smpl", "trailing"));
    const SoundClip clip = loadBytes(bytes);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->samples, (std::vector<int16_t>{7, -7}));
}

TEST(WaveReading, TheLoopFlagComesFromTheLoader) {
    const std::string bytes = wave(1, 22050, 16, samples16({1, 2}));
    EXPECT_TRUE(loadBytes(bytes, "_loop.wav", 1)->loop);
    EXPECT_FALSE(loadBytes(bytes, "_once.wav", 0)->loop);
}

TEST(WaveReading, DamagedFilesGiveNull) {
    const std::string data = samples16({1, 2, 3, 4});
    const std::string fmt = chunk("fmt ", formatBody(1, 22050, 16));
    struct TCase {
        const char* what;
        std::string bytes;
    };
    const TCase cases[] = {
        {"empty", ""},
        {"garbage", std::string(200, '\x5A')},
        {"only the magic", "RIFF"},
        {"not WAVE", "RIFF\x10\0\0\0AVI " + fmt},
        {"no data chunk", riff(fmt)},
        {"no format chunk", riff(chunk("data", data))},
        {"data longer than the file", riff(fmt + chunk("data", data, 1000))},
        {"absurd data size", riff(fmt + chunk("data", data, 0xFFFFFFFFu))},
        {"absurd chunk before the data", riff(fmt + chunk("junk", "", 0xFFFFFFF0u) + chunk("data", data))},
        {"compressed format", riff(chunk("fmt ", formatBody(1, 22050, 16, 2)) + chunk("data", data))},
        {"24-bit samples", riff(chunk("fmt ", formatBody(1, 22050, 24)) + chunk("data", data))},
        {"no channels", riff(chunk("fmt ", formatBody(0, 22050, 16)) + chunk("data", data))},
        {"six channels", riff(chunk("fmt ", formatBody(6, 22050, 16)) + chunk("data", data))},
        {"rate 0", riff(chunk("fmt ", formatBody(1, 0, 16)) + chunk("data", data))},
        {"short format chunk",
         riff(chunk("fmt ", formatBody(1, 22050, 16).substr(0, 12)) + chunk("data", data))},
    };
    for (const TCase& damaged : cases)
        EXPECT_FALSE(loadBytes(damaged.bytes)) << damaged.what;
    EXPECT_FALSE(loadSoundClip("no_such_sound.wav", 0));
    EXPECT_FALSE(loadSoundClip("incbin::no_such_sound.wav", 0));
}

TEST(WaveReading, EveryTruncationGivesNull) {
    const std::string whole = wave(2, 22050, 16, samples16({1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(loadBytes(whole));
    for (size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(loadBytes(whole.substr(0, length))) << length << " bytes";
    }
}

TEST(OggReading, DecodesAToneToTheSameLengthAndPitch) {
    const int rate = 44100;
    const SoundClip clip = loadBytes(encodeTone(441, 0.5, rate), ".ogg", 1);
    ASSERT_TRUE(clip);
    EXPECT_TRUE(clip->loop);
    EXPECT_EQ(clip->channelCount, 2);
    EXPECT_EQ(clip->sampleRate, rate);
    EXPECT_EQ(clip->frameCount(), static_cast<size_t>(rate / 2));

    // Left carries the tone, right its inverse; 441 Hz for half a second crosses zero about 441 times.
    int crossings = 0;
    double power = 0, sideSum = 0;
    for (size_t frame = 1; frame < clip->frameCount(); ++frame) {
        const int16_t left = clip->samples[frame * 2];
        const int16_t previous = clip->samples[(frame - 1) * 2];
        if ((previous < 0) != (left < 0)) ++crossings;
        power += static_cast<double>(left) * left;
        sideSum += static_cast<double>(left) + clip->samples[frame * 2 + 1];
    }
    EXPECT_NEAR(crossings, 441, 6);
    const double rms = std::sqrt(power / clip->frameCount());
    EXPECT_NEAR(rms, 0.5 * 32767 / std::sqrt(2.0), 1500);
    EXPECT_LT(std::abs(sideSum / clip->frameCount()),
              500); // the sides cancel: they were not swapped or merged
}

TEST(OggReading, DamagedStreamsGiveNull) {
    const std::string whole = encodeTone(300, 0.5, 22050);
    ASSERT_TRUE(loadBytes(whole, "_whole.ogg"));
    for (size_t length : {size_t{0}, size_t{4}, size_t{30}, size_t{200}, whole.size() / 3, whole.size() / 2,
                          whole.size() - 1}) {
        EXPECT_FALSE(loadBytes(whole.substr(0, length), "_cut.ogg")) << "cut at " << length;
    }
    EXPECT_FALSE(loadBytes("OggS" + std::string(5000, '\x33'), "_garbage.ogg"));

    // Damage inside the audio pages fails their checksums.
    std::string damaged = whole;
    for (size_t at = whole.size() / 2; at < whole.size() / 2 + 64; ++at)
        damaged[at] ^= 0x55;
    EXPECT_FALSE(loadBytes(damaged, "_damaged.ogg"));
}

TEST(WaveReading, RandomDamageNeverYieldsAnImpossibleClip) {
    const std::string whole = riff(chunk("LIST", "abc") + chunk("fmt ", formatBody(2, 22050, 8)) +
                                   chunk("data", std::string(64, '\x40')));
    uint32_t noise = 12345;
    for (int attempt = 0; attempt < 2000; ++attempt) {
        std::string damaged = whole;
        for (int flip = 0; flip < 3; ++flip) {
            noise = noise * 1103515245 + 12345;
            damaged[(noise >> 8) % damaged.size()] = static_cast<char>(noise >> 24);
        }
        const auto clip = decodeWave(reinterpret_cast<const uint8_t*>(damaged.data()), damaged.size());
        if (!clip) continue;
        ASSERT_TRUE(clip->channelCount == 1 || clip->channelCount == 2);
        ASSERT_GT(clip->sampleRate, 0);
        ASSERT_LE(clip->samples.size(), damaged.size());
    }
}

// --- Decoding in the background ---------------------------------------------------------------------------

namespace {

bool isWhole(const SoundClip& clip) {
    return clip->decoded.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

} // namespace

TEST(OggBackgroundDecoding, GivesTheSameClipAsDecodingAtOnce) {
    const std::string name = writeBytes(encodeTone(441, 1.0, 44100), ".ogg");
    const SoundClip atOnce = loadSoundClip(name, 1);
    const SoundClip background = loadSoundClipInBackground(name, 1);
    ASSERT_TRUE(atOnce && background);
    waitForSoundClip(background);
    EXPECT_TRUE(background->loop);
    EXPECT_EQ(background->sampleRate, atOnce->sampleRate);
    EXPECT_EQ(background->channelCount, atOnce->channelCount);
    EXPECT_TRUE(background->samples == atOnce->samples);
}

// A long clip queued first keeps the decoder busy, so a start that did not wait would find the second clip
// still empty; and the clips come out in the order they were asked for, which is what lets the title
// music start before the longer play track is decoded.
TEST(OggBackgroundDecoding, StartingAClipWaitsUntilItIsWholeAndClipsFinishInOrder) {
    const std::string longName = writeBytes(encodeTone(300, 6.0, 44100), "_long.ogg");
    const std::string shortName = writeBytes(encodeTone(600, 0.5, 22050), "_short.ogg");
    const SoundClip first = loadSoundClipInBackground(longName, 1);
    const SoundClip second = loadSoundClipInBackground(shortName, 1);
    ASSERT_TRUE(first && second);

    const SoundChannel channel = startSound(second, nullptr);
    EXPECT_TRUE(isWhole(second));
    EXPECT_TRUE(isWhole(first)) << "the clip asked for first finishes first";
    EXPECT_EQ(second->frameCount(), size_t{22050 / 2});
    EXPECT_EQ(first->frameCount(), size_t{44100 * 6});
    EXPECT_EQ(isChannelPlaying(channel), 1);
}

TEST(OggBackgroundDecoding, DamagedStreamBecomesSilenceWithoutHanging) {
    std::string damaged = encodeTone(300, 0.5, 22050);
    for (size_t at = damaged.size() / 2; at < damaged.size() / 2 + 64; ++at)
        damaged[at] ^= 0x55;
    const SoundClip clip = loadSoundClipInBackground(writeBytes(damaged, ".ogg"), 0);
    ASSERT_TRUE(clip);
    waitForSoundClip(clip);
    EXPECT_TRUE(clip->samples.empty());

    EXPECT_FALSE(loadSoundClipInBackground("no_such_file.ogg", 0));
    // Anything but Ogg is cheap to read and is loaded at once.
    const SoundClip effect =
        loadSoundClipInBackground(writeBytes(wave(1, 22050, 16, samples16({1, 2, 3})), ".wav"), 0);
    ASSERT_TRUE(effect);
    EXPECT_FALSE(effect->decoded.valid());
    EXPECT_EQ(effect->frameCount(), size_t{3});
}

// A game made again in the same process asks for the same embedded tracks: they are decoded once and
// shared. A plain file may have changed in between, so it is read again every time.
TEST(OggBackgroundDecoding, AnEmbeddedTrackAskedForAgainIsTheSameClipAndAFileIsReadAfresh) {
    static const std::string track = encodeTone(500, 0.5, 22050);
    registerAsset("decoding_test_track.ogg", reinterpret_cast<const uint8_t*>(track.data()), track.size());

    const SoundClip first = loadSoundClipInBackground("incbin::decoding_test_track.ogg", 1);
    const SoundClip again = loadSoundClipInBackground("INCBIN::decoding_test_track.ogg", 1);
    ASSERT_TRUE(first);
    EXPECT_EQ(again, first);
    waitForSoundClip(first);
    EXPECT_EQ(first->frameCount(), size_t{22050 / 2});
    EXPECT_EQ(loadSoundClipInBackground("incbin::decoding_test_track.ogg", 1), first) << "once whole, too";

    // Looping is the clip's own setting, so a clip that does not loop is another clip.
    const SoundClip once = loadSoundClipInBackground("incbin::decoding_test_track.ogg", 0);
    ASSERT_TRUE(once);
    EXPECT_NE(once, first);
    EXPECT_FALSE(once->loop);
    EXPECT_TRUE(first->loop);

    const std::string file = writeBytes(track, ".ogg");
    const SoundClip fromFile = loadSoundClipInBackground(file, 1);
    ASSERT_TRUE(fromFile);
    EXPECT_NE(loadSoundClipInBackground(file, 1), fromFile);
    EXPECT_FALSE(loadSoundClipInBackground("incbin::no_such_track.ogg", 1));
}
