// THiscoreTable: the ten best runs, sorted by score, with the best and the lowest entry at hand.
#pragma once

#include "platform/files.h"
#include "scores/score_record.h"

#include <array>
#include <memory>

class THiscoreTable {
public:
    static constexpr int Size = 10;

    // Ten default entries, 10000 down to 9100.
    static std::shared_ptr<THiscoreTable> create();

    // Descending by score; equal scores keep their order, so an older entry stays above a newer equal one.
    void sort();
    // A run gets in only by beating the lowest entry; matching it is not enough.
    bool admits(int score) const { return score > lowest->score; }
    void draw(float y);

    // Keeps the best ten of this table and other together (another game's, read from the same file). An
    // entry in both, name, brag, score and record alike, counts once; equal scores keep this table's first.
    void merge(const THiscoreTable& other);

    // The ten records in list order, 150 lines; reading sorts afterwards.
    void read(const TextFile& file);
    void write(const TextFile& file) const;

    std::array<std::shared_ptr<TScoreRecord>, Size> entries;
    std::shared_ptr<TScoreRecord> best;
    std::shared_ptr<TScoreRecord> lowest;
};
