#include "assets/embedded_asset.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The order the game's loaders rely on.
const std::array<std::string_view, 41> assetTable = {
    "glowing.png",        "player_logo2.png",   "bomb_logo.png", "logo.png",         "enemyicons.png",
    "player_small.xml",   "player_shield.xml",  "border.xml",    "bullet.xml",       "enemy0.xml",
    "enemy1.xml",         "enemy2.xml",         "enemy3.xml",    "enemy5.xml",       "enemy6.xml",
    "enemy7.xml",         "enemy7a.xml",        "enemy8.xml",    "enemy9.xml",       "enemy9a.xml",
    "game_font.ttf",      "fx_menu.wav",        "fx_expl.wav",   "fx_bull_expl.wav", "fx_hole_hit.wav",
    "fx_hole_active.wav", "fx_hole_expl.wav",   "fx_ding1.wav",  "fx_ding2.wav",     "fx_player_move.wav",
    "fx_shield.wav",      "fx_player_fire.wav", "fx_entry0.wav", "fx_entry1.wav",    "fx_entry2.wav",
    "fx_entry3.wav",      "fx_entry5.wav",      "fx_entry7.wav", "fx_entry8.wav",    "music_title.ogg",
    "music_play.ogg",
};

// The generator's quick parts; sounds and music have tests of their own.
const std::array<std::string_view, 21> pictureShapeAndFontAssets = {
    "glowing.png",      "player_logo2.png",  "bomb_logo.png", "logo.png",   "enemyicons.png",
    "player_small.xml", "player_shield.xml", "border.xml",    "bullet.xml", "enemy0.xml",
    "enemy1.xml",       "enemy2.xml",        "enemy3.xml",    "enemy5.xml", "enemy6.xml",
    "enemy7.xml",       "enemy7a.xml",       "enemy8.xml",    "enemy9.xml", "enemy9a.xml",
    "game_font.ttf",
};

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A fresh output directory per process: ctest runs test cases in parallel.
class GeneratorRun {
public:
    explicit GeneratorRun(const std::string& label)
        : dir(std::filesystem::temp_directory_path() /
              ("kelvanor_assetgen_" + label + "_" + std::to_string(getpid()))) {
        std::filesystem::remove_all(dir);
        const std::string command =
            std::string(KELVANOR_ASSETGEN_PATH) + " '" + dir.string() + "' pictures shapes font";
        exitStatus = std::system(command.c_str());
    }
    ~GeneratorRun() { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    int exitStatus = -1;
};

TEST(EmbeddedAssets, EveryAssetIsRegisteredAndStartsWithItsFileSignature) {
    const auto startsWith = [](std::span<const uint8_t> bytes, std::string_view magic) {
        return bytes.size() >= magic.size() &&
               std::equal(magic.begin(), magic.end(), bytes.begin(), [](char expected, uint8_t actual) {
                   return static_cast<uint8_t>(expected) == actual;
               });
    };
    for (std::string_view name : assetTable) {
        SCOPED_TRACE(std::string(name));
        const std::span<const uint8_t> bytes = embeddedAsset(name);
        ASSERT_NE(bytes.data(), nullptr);
        if (name.ends_with(".png")) {
            EXPECT_TRUE(startsWith(bytes, "\x89PNG\r\n\x1a\n"));
        }
        if (name.ends_with(".xml")) {
            EXPECT_TRUE(startsWith(bytes, "<object ID=\"\" >\r\n"));
        }
        if (name.ends_with(".ttf")) {
            EXPECT_TRUE(startsWith(bytes, std::string_view("\0\1\0\0", 4)));
        }
        if (name.ends_with(".wav")) {
            EXPECT_TRUE(startsWith(bytes, "RIFF"));
        }
        if (name.ends_with(".ogg")) {
            EXPECT_TRUE(startsWith(bytes, "OggS"));
        }
    }
}

TEST(EmbeddedAssets, RegistrationFollowsTheGameOrder) {
    // The store hides its order, so the order is read from the generated registration source.
    std::ifstream source(std::string(KELVANOR_GENERATED_DIR) + "/embedded_assets.cpp");
    ASSERT_TRUE(source.good());
    const std::string text{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
    std::vector<std::string> registered;
    const std::string marker = "registerAsset(\"";
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
        const size_t start = at + marker.size();
        registered.push_back(text.substr(start, text.find('"', start) - start));
    }
    EXPECT_EQ(registered, std::vector<std::string>(assetTable.begin(), assetTable.end()));
}

TEST(AssetGenerator, WritesTheSameBytesOnEveryRun) {
    const GeneratorRun first("first");
    const GeneratorRun second("second");
    ASSERT_EQ(first.exitStatus, 0);
    ASSERT_EQ(second.exitStatus, 0);
    for (std::string_view name : pictureShapeAndFontAssets) {
        SCOPED_TRACE(std::string(name));
        const std::vector<uint8_t> firstBytes = readFile(first.dir / name);
        EXPECT_FALSE(firstBytes.empty());
        EXPECT_EQ(firstBytes, readFile(second.dir / name));
    }
}

TEST(AssetGenerator, EmbeddedBytesAreTheGeneratedFiles) {
    const GeneratorRun run("embedded");
    ASSERT_EQ(run.exitStatus, 0);
    for (std::string_view name : pictureShapeAndFontAssets) {
        SCOPED_TRACE(std::string(name));
        const std::vector<uint8_t> generated = readFile(run.dir / name);
        const std::span<const uint8_t> embedded = embeddedAsset(name);
        EXPECT_EQ(generated, std::vector<uint8_t>(embedded.begin(), embedded.end()));
    }
}

} // namespace
