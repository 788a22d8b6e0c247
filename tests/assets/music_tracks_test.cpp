// The generated music: arrangement bounds, clean and seamless rendering, reproducible encoding, and Ogg
// Vorbis files the game's decoder reads as looping stereo tracks of the intended length.
#include "assets/embedded_asset.h"
#include "synth_music.h"
#include "synth_vorbis.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>

namespace {

using namespace synth;

struct TDecoded {
    int channels = 0;
    long rate = 0;
    std::vector<float> left; // the first channel
};

struct TMemoryStream {
    const TBytes* bytes;
    std::size_t at = 0;
};

std::size_t readMemory(void* out, std::size_t size, std::size_t count, void* source) {
    auto* stream = static_cast<TMemoryStream*>(source);
    const std::size_t bytes = std::min(size * count, stream->bytes->size() - stream->at);
    std::memcpy(out, stream->bytes->data() + stream->at, bytes);
    stream->at += bytes;
    return size == 0 ? 0 : bytes / size;
}

TDecoded decodeOgg(const TBytes& bytes) {
    TMemoryStream stream{&bytes};
    const ov_callbacks callbacks{readMemory, nullptr, nullptr, nullptr};
    OggVorbis_File file;
    TDecoded decoded;
    if (ov_open_callbacks(&stream, &file, nullptr, 0, callbacks) != 0) return decoded;
    const vorbis_info* info = ov_info(&file, -1);
    decoded.channels = info->channels;
    decoded.rate = info->rate;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        const long frames = ov_read_float(&file, &pcm, 4096, &section);
        if (frames <= 0) break;
        decoded.left.insert(decoded.left.end(), pcm[0], pcm[0] + frames);
    }
    ov_clear(&file);
    return decoded;
}

double rmsStep(const std::vector<float>& samples) {
    double sum = 0.0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const double step = samples[i] - samples[i - 1];
        sum += step * step;
    }
    return std::sqrt(sum / static_cast<double>(samples.size() - 1));
}

TEST(MusicArrangement, TracksLastAsLongAsPlannedAndStayInsideTheirLoop) {
    const TSong title = composeTitleTrack();
    const TSong play = composePlayTrack();
    EXPECT_NEAR(static_cast<double>(title.loopFrames()) / kMusicRate, 90.0, 5.0);
    EXPECT_NEAR(static_cast<double>(play.loopFrames()) / kMusicRate, 140.0, 5.0);
    for (const TSong* song : {&title, &play}) {
        // A note placed past the end would silently vanish from the loop.
        for (const TNoteEvent& event : song->events) {
            EXPECT_GE(event.start, 0);
            EXPECT_LT(event.start, song->loopFrames());
            EXPECT_GT(event.length, 0);
            EXPECT_GT(event.velocity, 0.0f);
        }
    }
}

TEST(MusicArrangement, TitleTrackIsCalmerThanThePlayTrack) {
    // Fewer notes per second and a slower pulse.
    const TSong title = composeTitleTrack();
    const TSong play = composePlayTrack();
    EXPECT_GT(title.samplesPerStep, play.samplesPerStep);
    EXPECT_LT(static_cast<double>(title.events.size()) / title.loopFrames(),
              0.6 * static_cast<double>(play.events.size()) / play.loopFrames());
}

class MusicExcerpt : public ::testing::TestWithParam<int> {
protected:
    TSong song() const { return GetParam() == 0 ? composeTitleTrack() : composePlayTrack(); }
};

TEST_P(MusicExcerpt, RendersCleanStereoWithHeadroom) {
    const TStereoLoop loop = renderSong(song(), 2);
    ASSERT_EQ(loop.left.size(), static_cast<std::size_t>(song().framesPerBar() * 2));
    ASSERT_EQ(loop.right.size(), loop.left.size());
    double peak = 0.0, sum = 0.0, energy = 0.0;
    for (const std::vector<float>* channel : {&loop.left, &loop.right}) {
        for (float s : *channel) {
            ASSERT_TRUE(std::isfinite(s));
            peak = std::max(peak, static_cast<double>(std::fabs(s)));
            sum += s;
            energy += static_cast<double>(s) * s;
        }
    }
    const double n = 2.0 * static_cast<double>(loop.left.size());
    EXPECT_LT(peak, 0.9);
    EXPECT_GT(std::sqrt(energy / n), 0.05);
    EXPECT_LT(std::fabs(sum / n), 0.002);
    // Left and right differ: the mix is panned, not mono in two channels.
    double difference = 0.0;
    for (std::size_t i = 0; i < loop.left.size(); ++i)
        difference += std::fabs(loop.left[i] - loop.right[i]);
    EXPECT_GT(difference / static_cast<double>(loop.left.size()), 0.001);
}

TEST_P(MusicExcerpt, LoopEndFlowsIntoItsStart) {
    const TStereoLoop loop = renderSong(song(), 2);
    for (const std::vector<float>* channel : {&loop.left, &loop.right}) {
        EXPECT_LT(std::fabs(channel->front() - channel->back()), 3.0 * rmsStep(*channel));
    }
}

TEST_P(MusicExcerpt, RenderingAndEncodingAreReproducible) {
    const TStereoLoop first = renderSong(song(), 1);
    const TStereoLoop second = renderSong(song(), 1);
    EXPECT_TRUE(first.left == second.left);
    EXPECT_TRUE(first.right == second.right);
    EXPECT_TRUE(encodeOggVorbis(first.left, first.right, kMusicRate, 0.3f) ==
                encodeOggVorbis(second.left, second.right, kMusicRate, 0.3f));
}

TEST_P(MusicExcerpt, EncodedExcerptDecodesToTheSameSignal) {
    const TStereoLoop loop = renderSong(song(), 1);
    const TDecoded decoded = decodeOgg(encodeOggVorbis(loop.left, loop.right, kMusicRate, 0.3f));
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.rate, kMusicRate);
    ASSERT_EQ(decoded.left.size(), loop.left.size());
    // Lossy, but close: the coding error stays far below the signal.
    double signal = 0.0, error = 0.0;
    for (std::size_t i = 0; i < loop.left.size(); ++i) {
        signal += static_cast<double>(loop.left[i]) * loop.left[i];
        const double wrong = decoded.left[i] - loop.left[i];
        error += wrong * wrong;
    }
    EXPECT_LT(error, 0.05 * signal);
}

INSTANTIATE_TEST_SUITE_P(TitleAndPlay, MusicExcerpt, ::testing::Values(0, 1));

TEST(MusicFiles, EmbeddedTracksDecodeAsStereoLoopsOfTheirFullLength) {
    // The copies the build generated and embedded: exactly what the game will load.
    const std::pair<const char*, TSong> tracks[] = {{"music_title.ogg", composeTitleTrack()},
                                                    {"music_play.ogg", composePlayTrack()}};
    for (const auto& [name, song] : tracks) {
        SCOPED_TRACE(name);
        const std::span<const uint8_t> embedded = embeddedAsset(name);
        const TBytes bytes(embedded.begin(), embedded.end());
        // Big enough to hold real music, small enough to embed.
        EXPECT_GT(bytes.size(), 500u * 1000u);
        EXPECT_LT(bytes.size(), 4u * 1000u * 1000u);
        const TDecoded decoded = decodeOgg(bytes);
        EXPECT_EQ(decoded.channels, 2);
        EXPECT_EQ(decoded.rate, kMusicRate);
        EXPECT_EQ(decoded.left.size(), static_cast<std::size_t>(song.loopFrames()));
        if (!decoded.left.empty()) {
            EXPECT_LT(std::fabs(decoded.left.front() - decoded.left.back()), 3.0 * rmsStep(decoded.left));
        }
    }
}

} // namespace
