#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "play/player.h"
#include "scores/hiscore_table.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class NameEntryTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        record().entryStep = 1; // as the game-over screen leaves it
    }

    static TScoreRecord& record() { return game->player->stats; }

    // Runs the dialogue a frame at a time until everything typed so far has been taken (or the entry is
    // complete); says whether it completed.
    static bool runEntry(bool askBrag) {
        for (int frame = 0; frame < 64; ++frame) {
            if (record().enter(420, askBrag)) return true;
        }
        return false;
    }

    static bool typeIntoEntry(std::string_view text, bool askBrag = false) {
        typeText(text);
        return runEntry(askBrag);
    }

    static bool pressIntoEntry(int key, int times = 1, bool askBrag = false) {
        for (int i = 0; i < times; ++i)
            tapKey(key);
        return runEntry(askBrag);
    }
};

bool tableHolds(const std::string& name, int score) {
    const auto& entries = game->hiscores->entries;
    return std::any_of(entries.begin(), entries.end(),
                       [&](const auto& entry) { return entry->name == name && entry->score == score; });
}

TEST_F(NameEntryTest, LowerCaseLettersBecomeCapitalsAndOnlyDigitsAndSpacesJoinThem) {
    typeIntoEntry("q");
    EXPECT_EQ(record().nameInput, "Q");
    typeIntoEntry("Q");
    EXPECT_EQ(record().nameInput, "Q") << "a capital typed with Shift is refused";
    typeIntoEntry("z9 -!.#\xc3\xa9");
    EXPECT_EQ(record().nameInput, "QZ9 ");
}

TEST_F(NameEntryTest, InputsStopAtTheirLimitsWhileBackspaceStillWorks) {
    typeIntoEntry("abcdefghijklmno");
    EXPECT_EQ(record().nameInput, "ABCDEFGHIJ");
    pressIntoEntry(Key::Backspace);
    typeIntoEntry("xy");
    EXPECT_EQ(record().nameInput, "ABCDEFGHIX");
    pressIntoEntry(Key::Backspace, 12);
    EXPECT_EQ(record().nameInput, "") << "Backspace on an empty input does nothing";

    // The brag text has room for twenty.
    record().entryStep = 2;
    typeIntoEntry("one two three four five six", true);
    EXPECT_EQ(record().bragInput, "ONE TWO THREE FOUR F");
    EXPECT_EQ(record().nameInput, "") << "the brag step leaves the name alone";
}

TEST_F(NameEntryTest, ATopTenRunGivesItsNameOnlyEvenAnEmptyOne) {
    record().score = 9500;
    EXPECT_TRUE(pressIntoEntry(Key::Enter));
    EXPECT_EQ(record().name, "");
    EXPECT_EQ(record().brag, "") << "the brag emptied at the run's start stays so";
    EXPECT_TRUE(tableHolds("", 9500));
    EXPECT_EQ(record().entryStep, 1);
}

TEST_F(NameEntryTest, ANewBestRunIsAskedForABragAfterItsName) {
    record().score = 20000;
    record().bragInput = "LAST TIME";
    typeText("ace");
    tapKey(Key::Enter);
    typeText("xx"); // already typed when the Enter is taken: must not reach the brag text
    EXPECT_FALSE(runEntry(true));
    EXPECT_EQ(record().entryStep, 2);
    EXPECT_EQ(record().name, "ACE");
    EXPECT_EQ(record().bragInput, "");
    EXPECT_FALSE(tableHolds("ACE", 20000)) << "not in the table before the brag is given";

    typeText("gg");
    tapKey(Key::Enter);
    EXPECT_TRUE(runEntry(true));
    EXPECT_EQ(game->hiscores->best->name, "ACE");
    EXPECT_EQ(game->hiscores->best->brag, "GG");
    EXPECT_EQ(record().entryStep, 1) << "ready for the next run";
}

TEST_F(NameEntryTest, TheNextRunIsOfferedThePreviousName) {
    record().score = 9500;
    typeText("vic");
    tapKey(Key::Enter);
    ASSERT_TRUE(runEntry(false));

    game->startRun();
    record().entryStep = 1;
    record().score = 9600;
    EXPECT_EQ(record().nameInput, "VIC");
    EXPECT_TRUE(pressIntoEntry(Key::Enter));
    EXPECT_TRUE(tableHolds("VIC", 9600));
}

} // namespace
