// TScoreRecord: one run's result. The craft owns the current run's record; the hiscore table holds ten.
// The same type carries the name-entry dialogue of the game-over screen and the statistics block.
#pragma once

#include "platform/files.h"

#include <array>
#include <memory>
#include <string>

class TScoreRecord {
public:
    static constexpr size_t NameLimit = 10;
    static constexpr size_t BragLimit = 20;
    static constexpr int KindCount = 10;

    static std::shared_ptr<TScoreRecord> create(const std::string& name, int score, const std::string& brag);

    // Start of a run: the result is cleared; the inputs and the entry step are kept.
    void reset();
    // This record's score minus the other's: positive when this one ranks higher.
    int compare(const TScoreRecord& other) const;

    // One frame of the name entry, drawn from row y. True on the frame the entry is complete: the record
    // is then in the hiscore table (the caller saves the settings at once).
    bool enter(float y, bool askBrag);
    // The run's result over the table's lowest entry, then the table is sorted again.
    void enterIntoTable();

    // Detailed: score, shots and the kills per kind with their icons, 170 rows high. Short: one line
    // with the place, the name and the score.
    void drawStats(float y, int place, bool detailed) const;

    void write(const TextFile& file) const;
    void read(const TextFile& file);

    std::string name;
    std::string brag;
    int score = 0;
    std::array<int, KindCount> kills{}; // per enemy kind 0..9
    int shotsFired = 0;
    int shotsHit = 0;
    int entryStep = 0;     // 1 asking for the name, 2 for the brag text
    std::string nameInput; // kept between runs, so the previous name is offered again
    std::string bragInput;

private:
    void drawEntry(float y) const;
};
