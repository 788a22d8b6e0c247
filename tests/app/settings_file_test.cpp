#include "settings_fixture.h"

#include "app/settings/settings_file.h"
#include "audio/sound_bank.h"
#include "input/joypad.h"
#include "play/grid.h"
#include "play/player.h"
#include "scores/hiscore_table.h"

#include <stdexcept>

namespace {

struct TSettingsInForce {
    float music;
    float effects;
    int grid;
    int control;
};

TSettingsInForce settingsInForce() {
    return {game->musicVolume, game->sounds->effectsVolume, game->grid->enabled, game->player->controlMode};
}

void expectSettings(const TSettingsInForce& expected, const char* file) {
    const TSettingsInForce found = settingsInForce();
    EXPECT_FLOAT_EQ(found.music, expected.music) << file;
    EXPECT_FLOAT_EQ(found.effects, expected.effects) << file;
    EXPECT_EQ(found.grid, expected.grid) << file;
    EXPECT_EQ(found.control, expected.control) << file;
}

void loadFrom(const char* contents) {
    SettingsTest::writeFile("config.ini", contents);
    game->loadSettings();
}

// No pad is plugged in here, so a file that names no control mode leaves the keys and mouse in force.
const TSettingsInForce defaults{1.0f, 1.0f, 1, 0};

// The old file a failed save must leave alone: not even in the program's own format.
constexpr std::string_view oldFile = "[Grid]\r\n0\r\nan older program wrote this\n[Sound]\r\n1\r\n1\r\n";

} // namespace

TEST_F(SettingsTest, WithoutAFileTheDefaultsApplyAndASaveWritesAll167Lines) {
    expectSettings(defaults, "no file");
    EXPECT_EQ(game->hiscores->best->score, 10000);

    game->saveSettings();
    const std::vector<std::string> lines = readLines("config.ini");
    ASSERT_EQ(lines.size(), 167u);
    EXPECT_EQ(lines[0], "[Grid]");
    EXPECT_EQ(lines[1], "1");
    EXPECT_EQ(lines[2], "[Sound]");
    EXPECT_EQ(lines[3], "4");
    EXPECT_EQ(lines[4], "4");
    EXPECT_EQ(lines[5], "[Hiscore]");
    // The first record in full, and the last record's score.
    const std::vector<std::string> firstRecord(lines.begin() + 6, lines.begin() + 21);
    EXPECT_EQ(firstRecord, (std::vector<std::string>{"Vek", "Eat That!", "10000", "0", "0", "0", "0", "0",
                                                     "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(lines[6 + 9 * 15 + 2], "9100");
    EXPECT_EQ(lines[156], "[Input]");
    EXPECT_EQ(lines[157], "0");
    EXPECT_EQ(lines[158], "[JoyPad]");
    for (size_t i = 159; i < 167; ++i)
        EXPECT_EQ(lines[i], "0") << "line " << i;
    EXPECT_EQ(pathKind(SettingsFile::temporaryPath), 0) << "the temporary file is gone after the rename";
}

TEST_F(SettingsTest, SectionsAreReadInAnyOrderRepeatedOrCutShort) {
    loadFrom("[Sound]\r\n2.9\r\n1\r\n");
    expectSettings({0.5f, 0.25f, 1, 0}, "volumes read as reals and truncated");

    loadFrom("[Input]\n0");
    expectSettings({1.0f, 1.0f, 1, 0}, "only [Input], LF endings, no final line end");

    loadFrom(" [Grid]\r\n0\r\n[grid]\r\n0\r\n[Grid] \r\n0\r\n");
    expectSettings(defaults, "headers match only as whole lines, case and blanks included");

    loadFrom("[Grid]\r\n0\r\n[Sound]\r\n1\r\n1\r\n[Input]\r\n0\r\n[Grid]\r\n1\r\n[Sound]\r\n3\r\n2\r\n");
    expectSettings({0.75f, 0.5f, 1, 0}, "the last of repeated sections wins");

    loadFrom("[Input]\r\n0\r\n[Sound]\r\n3");
    expectSettings({0.75f, 0.0f, 1, 0}, "ending inside a section: the missing value reads as 0");

    loadFrom("some notes\r\n\r\n[Grid]\r\n0\r\n");
    expectSettings({1.0f, 1.0f, 0, 0},
                   "unknown and empty lines skipped; earlier values replaced by defaults");
}

TEST_F(SettingsTest, AHiscoreBlockCutShortLeavesEmptyRecordsBelowTheOnesItHas) {
    loadFrom("[Hiscore]\r\nACE\r\nFIRST!\r\n20000\r\n1\r\n2\r\n");
    const THiscoreTable& table = *game->hiscores;
    EXPECT_EQ(table.best->name, "ACE");
    EXPECT_EQ(table.best->brag, "FIRST!");
    EXPECT_EQ(table.best->score, 20000);
    EXPECT_EQ(table.best->kills[0], 1);
    EXPECT_EQ(table.best->kills[1], 2);
    EXPECT_EQ(table.best->kills[2], 0);
    for (size_t i = 1; i < 10; ++i) {
        EXPECT_EQ(table.entries[i]->name, "") << i;
        EXPECT_EQ(table.entries[i]->score, 0) << i;
    }
    EXPECT_EQ(table.lowest->score, 0);
}

TEST_F(SettingsTest, ValuesOutsideTheirRangesAreBroughtIntoThem) {
    loadFrom("[Sound]\r\n7\r\n-2\r\n[Grid]\r\n5\r\n[Input]\r\n-1\r\n");
    expectSettings({1.0f, 0.0f, 1, 0}, "music 7, effects -2, grid 5, control -1");

    // A real far beyond the int range must not reach the conversion to int.
    loadFrom("[Sound]\r\n1e999\r\n-1e999\r\n");
    expectSettings({1.0f, 0.0f, 1, 0}, "music 1e999, effects -1e999");

    // And what was clamped is what a save writes back.
    loadFrom("[Sound]\r\n9\r\n9\r\n[Grid]\r\n-4\r\n[Input]\r\n3\r\n");
    game->saveSettings();
    const std::vector<std::string> lines = readLines("config.ini");
    ASSERT_EQ(lines.size(), 167u);
    EXPECT_EQ(lines[1], "0");
    EXPECT_EQ(lines[3], "4");
    EXPECT_EQ(lines[4], "4");
    EXPECT_EQ(lines[157], "1");
}

TEST_F(SettingsTest, TheJoypadBlockRoundTripsAndIsClampedIntoThePadsRanges) {
    writeFile("pad.txt", "3\r\n4\r\n42\r\n-7\r\n99\r\n11\r\n-1\r\n5\r\n");
    TJoypadMapping mapping;
    mapping.read(openTextForRead("pad.txt"));
    EXPECT_EQ(mapping.moveXAxis, 3);
    EXPECT_EQ(mapping.moveYAxis, 4);
    EXPECT_EQ(mapping.fireXAxis, 9);
    EXPECT_EQ(mapping.fireYAxis, 0);
    EXPECT_EQ(mapping.bombButton, 11);
    EXPECT_EQ(mapping.pauseButton, 11);
    EXPECT_EQ(mapping.selectButton, 0);
    EXPECT_EQ(mapping.backButton, 5);

    const TextFile out = openTextForWrite("pad.txt");
    mapping.write(out);
    ASSERT_TRUE(closeTextFile(out));
    EXPECT_EQ(readFile("pad.txt"), "[JoyPad]\r\n3\r\n4\r\n9\r\n0\r\n11\r\n11\r\n0\r\n5\r\n");
}

TEST_F(SettingsTest, AnEnteredRunSurvivesASaveAndTheNextStart) {
    TScoreRecord& run = game->player->stats;
    run.name = "ACE";
    run.brag = "TOO EASY";
    run.score = 9950;
    const std::array<int, 10> kills{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    run.kills = kills;
    run.shotsFired = 500;
    run.shotsHit = 123;
    run.enterIntoTable();
    game->grid->enabled = 0;
    game->saveSettings();

    delete game;
    game = TGame::create();
    const THiscoreTable& table = *game->hiscores;
    const TScoreRecord& second = *table.entries[1];
    EXPECT_EQ(second.name, "ACE");
    EXPECT_EQ(second.brag, "TOO EASY");
    EXPECT_EQ(second.score, 9950);
    EXPECT_EQ(second.kills, kills);
    EXPECT_EQ(second.shotsFired, 500);
    EXPECT_EQ(second.shotsHit, 123);
    EXPECT_EQ(table.lowest->score, 9200);
    EXPECT_EQ(game->grid->enabled, 0);
}

// Each way a save can go wrong before the new file is whole and in place leaves the old one byte for byte.
TEST_F(SettingsTest, AFailedSaveLeavesTheOldFileAsItWas) {
    game->grid->enabled = 0; // something a successful save would change
    struct TFault {
        const char* what;
        TSaveSteps steps;
    };
    TSaveSteps renameFails, flushFails, closeFails;
    renameFails.rename = [](std::string_view, std::string_view) { return false; };
    flushFails.flush = [](const TextFile& file) {
        flushTextFile(file);
        return false;
    };
    closeFails.close = [](const TextFile& file) {
        closeTextFile(file);
        return false;
    };
    for (const TFault& fault : {TFault{"rename fails", renameFails}, TFault{"flush fails", flushFails},
                                TFault{"close fails", closeFails}}) {
        writeFile("config.ini", oldFile);
        saveSteps = fault.steps;
        game->saveSettings();
        EXPECT_EQ(readFile("config.ini"), oldFile) << fault.what;
        EXPECT_EQ(pathKind(SettingsFile::temporaryPath), 0)
            << fault.what << ": the half-made file is removed";
    }

    // The temporary name taken by a directory: the save cannot even start.
    saveSteps = TSaveSteps{};
    writeFile("config.ini", oldFile);
    std::filesystem::create_directory(std::string(SettingsFile::temporaryPath));
    game->saveSettings();
    EXPECT_EQ(readFile("config.ini"), oldFile);
    EXPECT_EQ(pathKind(SettingsFile::temporaryPath), 2) << "someone else's directory is left alone";
}

// A power cut between writing and renaming: the process stops dead inside the save.
TEST_F(SettingsTest, ASaveCutOffBeforeTheRenameLeavesTheOldFileWholeAndTheNewOneOnDisk) {
    writeFile("config.ini", oldFile);
    game->player->controlMode = 0;
    saveSteps.rename = [](std::string_view, std::string_view) -> bool {
        throw std::runtime_error("power cut");
    };
    EXPECT_THROW(game->saveSettings(), std::runtime_error);

    EXPECT_EQ(readFile("config.ini"), oldFile);
    // The new file was complete and flushed before the rename was even tried.
    const std::vector<std::string> written = readLines(std::string(SettingsFile::temporaryPath));
    ASSERT_EQ(written.size(), 167u);
    EXPECT_EQ(written[157], "0");

    // The next start reads the old file: grid 0, music and effects at 25 %.
    saveSteps = TSaveSteps{};
    game->loadSettings();
    expectSettings({0.25f, 0.25f, 0, 0}, "the old file after the cut");
}
