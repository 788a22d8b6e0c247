// A whole game started in an empty working directory of its own, so that the "config.ini" a test writes,
// reads or leaves behind is that test's alone. The directory is named after the test, so a death test's
// re-run child works in the same one.
#pragma once

#include "harness/game_fixture.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class SettingsTest : public GameTest {
public:
    // The file's bytes exactly as given, or as found ("" when there is none).
    static void writeFile(const std::string& path, std::string_view bytes);
    static std::string readFile(const std::string& path);
    // Lines as written by the game: split at CR LF, every line including the last must end with one.
    static std::vector<std::string> readLines(const std::string& path);

protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::filesystem::path previousDirectory;
    std::filesystem::path scratchDirectory;
};
