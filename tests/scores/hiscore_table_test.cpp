#include "harness/game_fixture.h"
#include "play/player.h"
#include "scores/hiscore_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <vector>

namespace {

std::vector<int> scoresOf(const THiscoreTable& table) {
    std::vector<int> scores;
    for (const auto& record : table.entries)
        scores.push_back(record->score);
    return scores;
}

void setScores(THiscoreTable& table, const std::vector<int>& scores) {
    for (size_t i = 0; i < table.entries.size(); ++i)
        table.entries[i]->score = scores[i];
}

} // namespace

TEST(HiscoreTable, StartsWithTenDefaultEntriesFrom10000Down) {
    const auto table = THiscoreTable::create();
    EXPECT_EQ(scoresOf(*table),
              (std::vector<int>{10000, 9900, 9800, 9700, 9600, 9500, 9400, 9300, 9200, 9100}));
    for (const auto& record : table->entries) {
        EXPECT_EQ(record->name, "Vek");
        EXPECT_EQ(record->brag, "Eat That!");
    }
    EXPECT_EQ(table->best, table->entries.front());
    EXPECT_EQ(table->lowest, table->entries.back());
}

TEST(HiscoreTable, SortingOrdersByScoreKeepsTiesInPlaceAndSurvivesExtremeScores) {
    const auto table = THiscoreTable::create();
    setScores(*table, {5, 70, 5, INT_MIN, INT_MAX, 70, 0, -3, 5, 1});
    for (size_t i = 0; i < 10; ++i)
        table->entries[i]->name = std::to_string(i); // names record where each entry came from
    table->sort();

    // INT_MAX against INT_MIN overflows a plain difference and would put them the wrong way round.
    EXPECT_EQ(scoresOf(*table), (std::vector<int>{INT_MAX, 70, 70, 5, 5, 5, 1, 0, -3, INT_MIN}));
    std::vector<std::string> order;
    for (const auto& record : table->entries)
        order.push_back(record->name);
    EXPECT_EQ(order, (std::vector<std::string>{"4", "1", "5", "0", "2", "8", "9", "6", "7", "3"}));
    EXPECT_EQ(table->best->score, INT_MAX);
    EXPECT_EQ(table->lowest->score, INT_MIN);
}

TEST(HiscoreTable, WrittenAndReadBackGivesTheSameRecordsInTheSameOrder) {
    const auto written = THiscoreTable::create();
    for (size_t i = 0; i < 10; ++i) {
        TScoreRecord& record = *written->entries[i];
        record.name = "PLAYER " + std::to_string(i);
        record.brag = i % 2 ? "" : "NO  DOUBLE SPACES? " + std::to_string(i);
        record.score = 50000 - 1000 * static_cast<int>(i) - (i == 9 ? 60000 : 0); // the last one negative
        for (size_t kind = 0; kind < 10; ++kind)
            record.kills[kind] = static_cast<int>(i * 10 + kind);
        record.shotsFired = 1000 + static_cast<int>(i);
        record.shotsHit = static_cast<int>(i);
    }
    const char* path = "hiscore_table_roundtrip.txt";
    const TextFile out = openTextForWrite(path);
    written->write(out);
    ASSERT_TRUE(closeTextFile(out));

    const auto read = THiscoreTable::create();
    const TextFile in = openTextForRead(path);
    read->read(in);
    int lines = 0;
    while (!atEndOfFile(in)) {
        readTextLine(in);
        ++lines;
    }
    closeTextFile(in);
    std::remove(path);
    EXPECT_EQ(lines, 0) << "the block is exactly 150 lines";

    for (size_t i = 0; i < 10; ++i) {
        const TScoreRecord& a = *written->entries[i];
        const TScoreRecord& b = *read->entries[i];
        EXPECT_EQ(b.name, a.name) << i;
        EXPECT_EQ(b.brag, a.brag) << i;
        EXPECT_EQ(b.score, a.score) << i;
        EXPECT_EQ(b.kills, a.kills) << i;
        EXPECT_EQ(b.shotsFired, a.shotsFired) << i;
        EXPECT_EQ(b.shotsHit, a.shotsHit) << i;
    }
    EXPECT_EQ(read->lowest->score, -19000);
}

TEST(HiscoreTable, ReadingCutsTextsLongerThanTheEntryAllowsToTheEntryLimits) {
    const char* path = "hiscore_table_long.txt";
    const TextFile out = openTextForWrite(path);
    writeTextLine(out, "ANAMEOFFIFTEENC");
    writeTextLine(out, "A BRAG OF THIRTY CHARACTERS...");
    writeTextLine(out, "12345");
    ASSERT_TRUE(closeTextFile(out));
    TScoreRecord record;
    record.read(openTextForRead(path));
    std::remove(path);
    EXPECT_EQ(record.name, "ANAMEOFFIF");
    EXPECT_EQ(record.brag, "A BRAG OF THIRTY CHA");
    EXPECT_EQ(record.score, 12345);
}

using HiscoreEntryTest = GameTest;

TEST_F(HiscoreEntryTest, ARunEntersOnlyAboveTheLowestEntryAndTakesItsPlace) {
    THiscoreTable& table = *game->hiscores;
    EXPECT_FALSE(table.admits(9100)) << "equal to the lowest is not enough";
    EXPECT_TRUE(table.admits(9101));

    TScoreRecord& run = game->player->stats;
    run.name = "ACE";
    run.score = 9950;
    run.kills[3] = 17;
    run.shotsFired = 40;
    run.shotsHit = 20;
    run.enterIntoTable();

    EXPECT_EQ(scoresOf(table),
              (std::vector<int>{10000, 9950, 9900, 9800, 9700, 9600, 9500, 9400, 9300, 9200}));
    EXPECT_EQ(table.entries[1]->name, "ACE");
    EXPECT_EQ(table.entries[1]->kills[3], 17);
    EXPECT_EQ(table.entries[1]->shotsFired, 40);
    EXPECT_EQ(table.entries[1]->shotsHit, 20);
    EXPECT_NE(table.entries[1].get(), &run) << "the table keeps its own copy";
    EXPECT_EQ(table.lowest->score, 9200);

    run.score = 20000;
    run.enterIntoTable();
    EXPECT_EQ(table.best->name, "ACE");
    EXPECT_EQ(table.best->score, 20000);
    EXPECT_EQ(table.lowest->score, 9300);
}
