// Every fuzzing input kept in the repository, replayed through the same load checks the fuzz targets run:
// the seed corpora and each input that once crashed or hung a loader. Under the asan preset the replay
// is sanitizer-checked as well.
#include "assets/embedded_asset.h"
#include "fuzz_targets.h"
#include "platform/program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path fuzzDirectory = KELVANOR_FUZZ_DIR;

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> filesIn(const fs::path& directory) {
    std::vector<fs::path> files;
    if (!fs::is_directory(directory)) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

const TLoadTarget& targetNamed(std::string_view name) {
    for (const TLoadTarget& target : loadTargets)
        if (target.name == name) return target;
    throw std::invalid_argument(std::string(name));
}

TLoadCheck check(std::string_view target, const std::vector<uint8_t>& bytes) {
    return targetNamed(target).check(bytes.data(), bytes.size());
}

const char* outcomeName(TLoadOutcome outcome) {
    switch (outcome) {
    case TLoadOutcome::Loaded:
        return "loaded";
    case TLoadOutcome::Refused:
        return "refused";
    case TLoadOutcome::FatalError:
        return "fatal error";
    }
    return "?";
}

} // namespace

namespace {

// Every kept input loads or is turned away as the game means to; returns how many loaded.
int replay(std::string_view target, std::string_view kind) {
    int loadedCount = 0;
    for (const fs::path& path : filesIn(fuzzDirectory / kind / target)) {
        const TLoadCheck result = check(target, readBytes(path));
        EXPECT_EQ(result.fault, "") << path;
        if (result.outcome == TLoadOutcome::Loaded) ++loadedCount;
    }
    return loadedCount;
}

} // namespace

TEST(CorpusReplay, EverySeedAndRegressionInputLoadsOrIsTurnedAway) {
    for (const TLoadTarget& target : loadTargets) {
        SCOPED_TRACE(std::string(target.name));
        ASSERT_FALSE(filesIn(fuzzDirectory / "corpus" / target.name).empty()) << "no seed corpus";
        // A target that turned everything away would fuzz nothing but the loader's first check.
        EXPECT_GT(replay(target.name, "corpus"), 0) << "no seed loads";
        replay(target.name, "regressions");
    }
}

// The embedded assets are what the loaders exist for; each target must accept the game's own files.
TEST(CorpusReplay, TheGamesOwnFilesLoadCleanly) {
    const std::pair<const char*, const char*> samples[] = {
        {"shape", "enemy5.xml"}, {"shape", "player_shield.xml"},
        {"wave", "fx_expl.wav"}, {"ogg", "music_title.ogg"},
        {"png", "logo.png"},     {"font", "game_font.ttf"},
    };
    for (const auto& [target, asset] : samples) {
        const std::span<const uint8_t> bytes = embeddedAsset(asset);
        ASSERT_FALSE(bytes.empty()) << asset;
        const TLoadCheck result = targetNamed(target).check(bytes.data(), bytes.size());
        EXPECT_EQ(result.outcome, TLoadOutcome::Loaded) << asset << ": " << outcomeName(result.outcome);
        EXPECT_EQ(result.fault, "") << asset;
    }
}

// The replay files the game recorded are what the replay reader exists for.
TEST(CorpusReplay, TheRecordedReplaysLoadCleanly) {
    for (const char* name : {"deaths.kvr", "game_over.kvr", "joypad.kvr"}) {
        const TLoadCheck result = check("replay", readBytes(fs::path(KELVANOR_REPLAY_DIR) / name));
        EXPECT_EQ(result.outcome, TLoadOutcome::Loaded) << name << ": " << outcomeName(result.outcome);
        EXPECT_EQ(result.fault, "") << name;
    }
}

// Damage each loader is meant to catch, and the way it is meant to answer.
TEST(CorpusReplay, HandMadeDamageMeetsTheIntendedAnswer) {
    struct TExpectation {
        const char* target;
        const char* file;
        TLoadOutcome outcome;
    };
    const TExpectation expectations[] = {
        {"settings", "out_of_range.ini", TLoadOutcome::Loaded},
        {"settings", "nul_bytes.ini", TLoadOutcome::Loaded},
        {"shape", "missing_attribute.xml", TLoadOutcome::FatalError},
        {"shape", "no_element.xml", TLoadOutcome::FatalError},
        {"shape", "no_id.xml", TLoadOutcome::FatalError},
        {"shape", "stops_at_own_id.xml", TLoadOutcome::Loaded},
        {"shape", "empty.xml", TLoadOutcome::FatalError},
        {"wave", "extensible.wav", TLoadOutcome::Loaded},
        {"wave", "list_chunk_between.wav", TLoadOutcome::Loaded},
        {"wave", "data_too_long.wav", TLoadOutcome::Refused},
        {"ogg", "cut_mid_page.ogg", TLoadOutcome::Refused},
        {"ogg", "tone_8000.ogg", TLoadOutcome::Loaded},
        {"png", "palette_trns.png", TLoadOutcome::Loaded},
        {"png", "rgba16.png", TLoadOutcome::Loaded},
        {"png", "truncated.png", TLoadOutcome::Refused},
        {"font", "game_font_cut.ttf", TLoadOutcome::Refused},
        {"replay", "every_kind.kvr", TLoadOutcome::Loaded},
        {"replay", "empty_settings.kvr", TLoadOutcome::Loaded},
        {"replay", "huge_repeat.kvr", TLoadOutcome::Refused},
        {"replay", "no_end.kvr", TLoadOutcome::Refused},
        {"run", "desktop_abandoned.run", TLoadOutcome::Loaded},
        {"run", "cut_short.run", TLoadOutcome::Refused},
    };
    for (const TExpectation& expected : expectations) {
        const fs::path path = fuzzDirectory / "corpus" / expected.target / expected.file;
        ASSERT_TRUE(fs::is_regular_file(path)) << path;
        const TLoadCheck result = check(expected.target, readBytes(path));
        EXPECT_EQ(result.outcome, expected.outcome)
            << path << ": " << outcomeName(result.outcome) << ", expected " << outcomeName(expected.outcome);
        EXPECT_EQ(result.fault, "") << path;
    }
}

// Reading a shape ends the program on purpose when the file is broken; a harness catches that, and the
// game's next fatal error still ends the program as before.
TEST(FatalErrorHandler, CatchesOnlyWhileALoadIsChecked) {
    const std::string broken = "<object>\n";
    const std::vector<uint8_t> bytes(broken.begin(), broken.end());
    EXPECT_EQ(check("shape", bytes).outcome, TLoadOutcome::FatalError);
    EXPECT_EXIT(
        raiseFatalError("after the check"), [](int status) { return status != 0; }, "after the check");
}
