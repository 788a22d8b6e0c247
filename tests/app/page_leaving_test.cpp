// A browser page can be hidden or closed at any moment, without the game's own exit: the entry routine
// gives the platform a way to save the settings then, which writes the same file a QUIT does.
#include "app/entry.h"
#include "app/game.h"
#include "platform/platform_internal.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

TEST(PageLeavingTest, TheGameStartedByTheEntryRoutineSavesItsSettingsWhenAsked) {
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "kelvanor_page_leaving";
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch);
    std::filesystem::current_path(scratch);

    // Nothing is saved before there is a game to save.
    saveSettingsBeforeLeaving();
    EXPECT_FALSE(std::filesystem::exists("config.ini"));

    ASSERT_TRUE(startGame());
    game->hiscores->entries[0]->name = "Leaver"; // changed since the start: only a save keeps it
    saveSettingsBeforeLeaving();
    std::ifstream file("config.ini", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 167u);
    EXPECT_NE(text.find("\r\nLeaver\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("config.ini.tmp"));

    std::filesystem::current_path(previous);
    std::filesystem::remove_all(scratch);
}

} // namespace
