// The generated sound effects: the WAVE layout the game's reader expects, clean edges, seamless loops and
// byte-for-byte reproducible output.
#include "assets/embedded_asset.h"
#include "generated_assets.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using TBytes = std::vector<std::uint8_t>;

struct TEffectFormat {
    const char* name;
    int channels;
    int sampleRate;
    int bits;
    double seconds; // the length the sound slot was laid out for
    bool looped;
};

const TEffectFormat kEffects[] = {
    {"fx_menu.wav", 2, 22050, 8, 0.27, false},         {"fx_expl.wav", 1, 22050, 16, 0.56, false},
    {"fx_bull_expl.wav", 1, 22050, 16, 0.28, false},   {"fx_hole_hit.wav", 1, 22050, 16, 0.56, false},
    {"fx_hole_active.wav", 1, 22050, 16, 0.46, false}, {"fx_hole_expl.wav", 1, 22050, 16, 1.16, false},
    {"fx_ding1.wav", 1, 22050, 16, 2.51, false},       {"fx_ding2.wav", 1, 22050, 16, 2.51, false},
    {"fx_player_move.wav", 1, 22050, 16, 0.46, true},  {"fx_shield.wav", 1, 22050, 16, 0.23, false},
    {"fx_player_fire.wav", 1, 22050, 16, 0.19, false}, {"fx_entry0.wav", 1, 22050, 16, 0.46, false},
    {"fx_entry1.wav", 1, 22050, 16, 0.46, false},      {"fx_entry2.wav", 1, 22050, 16, 0.46, false},
    {"fx_entry3.wav", 1, 22050, 16, 0.46, false},      {"fx_entry5.wav", 1, 22050, 16, 1.29, false},
    {"fx_entry7.wav", 1, 22050, 16, 0.46, false},      {"fx_entry8.wav", 1, 44100, 16, 1.02, true},
};

TBytes readEffectFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint32_t le16(const TBytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}
std::uint32_t le32(const TBytes& b, std::size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}
bool tagAt(const TBytes& b, std::size_t at, const char* tag) {
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

// The first channel as samples in -1..1.
std::vector<double> firstChannel(const TBytes& file, const TEffectFormat& format) {
    std::vector<double> samples;
    const std::size_t frameBytes = static_cast<std::size_t>(format.channels * format.bits / 8);
    for (std::size_t at = 44; at + frameBytes <= file.size(); at += frameBytes) {
        if (format.bits == 8) {
            samples.push_back((static_cast<int>(file[at]) - 128) / 128.0);
        } else {
            samples.push_back(static_cast<std::int16_t>(le16(file, at)) / 32768.0);
        }
    }
    return samples;
}

// The typical size of one sample-to-sample step: what a click has to stand out against.
double rmsStep(const std::vector<double>& samples) {
    double sum = 0.0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        sum += (samples[i] - samples[i - 1]) * (samples[i] - samples[i - 1]);
    return std::sqrt(sum / static_cast<double>(samples.size() - 1));
}

class SoundEffects : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = fs::temp_directory_path() / ("kelvanor_fx_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        writeSoundEffectAssets(dir.string());
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }
    static TBytes file(const TEffectFormat& format) { return readEffectFile(dir / format.name); }

    static fs::path dir;
};

fs::path SoundEffects::dir;

TEST_F(SoundEffects, EveryFileHasThePlainHeaderAndItsSampleFormat) {
    for (const TEffectFormat& format : kEffects) {
        SCOPED_TRACE(format.name);
        const TBytes bytes = file(format);
        ASSERT_GT(bytes.size(), 44u);
        EXPECT_TRUE(tagAt(bytes, 0, "RIFF"));
        EXPECT_EQ(le32(bytes, 4), bytes.size() - 8);
        EXPECT_TRUE(tagAt(bytes, 8, "WAVE"));
        EXPECT_TRUE(tagAt(bytes, 12, "fmt "));
        EXPECT_EQ(le32(bytes, 16), 16u);
        EXPECT_EQ(le16(bytes, 20), 1u); // integer PCM
        EXPECT_EQ(le16(bytes, 22), static_cast<std::uint32_t>(format.channels));
        EXPECT_EQ(le32(bytes, 24), static_cast<std::uint32_t>(format.sampleRate));
        const std::uint32_t blockAlign = format.channels * format.bits / 8;
        EXPECT_EQ(le32(bytes, 28), format.sampleRate * blockAlign);
        EXPECT_EQ(le16(bytes, 32), blockAlign);
        EXPECT_EQ(le16(bytes, 34), static_cast<std::uint32_t>(format.bits));
        EXPECT_TRUE(tagAt(bytes, 36, "data"));
        EXPECT_EQ(le32(bytes, 40), bytes.size() - 44);
        EXPECT_EQ((bytes.size() - 44) % blockAlign, 0u);
        const double seconds = static_cast<double>(bytes.size() - 44) / blockAlign / format.sampleRate;
        EXPECT_NEAR(seconds, format.seconds, 0.1 * format.seconds);
    }
}

TEST_F(SoundEffects, LevelsHaveHeadroomAndNoOffset) {
    for (const TEffectFormat& format : kEffects) {
        SCOPED_TRACE(format.name);
        const std::vector<double> samples = firstChannel(file(format), format);
        double peak = 0.0, sum = 0.0, energy = 0.0;
        for (double s : samples) {
            peak = std::max(peak, std::fabs(s));
            sum += s;
            energy += s * s;
        }
        const double n = static_cast<double>(samples.size());
        EXPECT_LT(peak, 0.95);
        EXPECT_GT(peak, 0.3);
        EXPECT_GT(std::sqrt(energy / n), 0.02); // audible, not a near-silent blip
        EXPECT_LT(std::fabs(sum / n), 0.005);
    }
}

TEST_F(SoundEffects, OneShotsStartAndEndAtSilence) {
    for (const TEffectFormat& format : kEffects) {
        if (format.looped) continue;
        SCOPED_TRACE(format.name);
        const std::vector<double> samples = firstChannel(file(format), format);
        // 8-bit samples cannot come closer to zero than one step.
        const double silence = format.bits == 8 ? 1.5 / 128.0 : 0.002;
        EXPECT_LT(std::fabs(samples.front()), silence);
        EXPECT_LT(std::fabs(samples.back()), silence);
    }
}

TEST_F(SoundEffects, LoopsJoinWithoutAStep) {
    for (const TEffectFormat& format : kEffects) {
        if (!format.looped) continue;
        SCOPED_TRACE(format.name);
        const std::vector<double> samples = firstChannel(file(format), format);
        const double seam = std::fabs(samples.front() - samples.back());
        EXPECT_LT(seam, 2.0 * rmsStep(samples));
    }
}

TEST_F(SoundEffects, EngineHumIsALowDrone) {
    // Zero crossings count the dominant pitch: a hum well under a kilohertz, not a whine.
    const TEffectFormat& engine = kEffects[8];
    ASSERT_STREQ(engine.name, "fx_player_move.wav");
    const std::vector<double> samples = firstChannel(file(engine), engine);
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        crossings += (samples[i - 1] < 0.0) != (samples[i] < 0.0);
    const double seconds = static_cast<double>(samples.size()) / engine.sampleRate;
    EXPECT_LT(crossings / seconds / 2.0, 600.0);
    EXPECT_GT(crossings / seconds / 2.0, 40.0);
}

TEST_F(SoundEffects, EachEntrySoundIsItsOwn) {
    // Entry sounds announce which kind arrives, so no two may be near copies: compare their normalised
    // correlation over the shared length.
    const char* entries[] = {"fx_entry0.wav", "fx_entry1.wav", "fx_entry2.wav",
                             "fx_entry3.wav", "fx_entry5.wav", "fx_entry7.wav"};
    std::vector<std::vector<double>> sounds;
    for (const char* name : entries) {
        const TEffectFormat format{name, 1, 22050, 16, 0.0, false};
        sounds.push_back(firstChannel(readEffectFile(dir / name), format));
    }
    for (std::size_t a = 0; a < sounds.size(); ++a) {
        for (std::size_t b = a + 1; b < sounds.size(); ++b) {
            const std::size_t n = std::min(sounds[a].size(), sounds[b].size());
            double cross = 0.0, energyA = 0.0, energyB = 0.0;
            for (std::size_t i = 0; i < n; ++i) {
                cross += sounds[a][i] * sounds[b][i];
                energyA += sounds[a][i] * sounds[a][i];
                energyB += sounds[b][i] * sounds[b][i];
            }
            EXPECT_LT(std::fabs(cross) / std::sqrt(energyA * energyB), 0.5)
                << entries[a] << " vs " << entries[b];
        }
    }
}

TEST_F(SoundEffects, EmbeddedCopiesMatchAFreshRun) {
    // The build ran the generator in another process, possibly long ago: the bytes must not depend on either.
    for (const TEffectFormat& format : kEffects) {
        SCOPED_TRACE(format.name);
        const std::span<const uint8_t> embedded = embeddedAsset(format.name);
        EXPECT_TRUE(TBytes(embedded.begin(), embedded.end()) == file(format));
    }
}

TEST_F(SoundEffects, WritingAgainGivesTheSameBytes) {
    const fs::path again = dir / "again";
    fs::create_directories(again);
    writeSoundEffectAssets(again.string());
    for (const TEffectFormat& format : kEffects) {
        SCOPED_TRACE(format.name);
        EXPECT_TRUE(readEffectFile(dir / format.name) == readEffectFile(again / format.name));
    }
}

} // namespace
