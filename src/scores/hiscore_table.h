// THiscoreTable: the ten best runs, sorted by score, with the best and the lowest entry at hand.
#pragma once

#include "scores/score_record.h"

#include <array>
#include <memory>

class THiscoreTable {
public:
    static std::shared_ptr<THiscoreTable> create();

    void sort();
    void draw(float y);

    std::array<std::shared_ptr<TScoreRecord>, 10> entries;
    std::shared_ptr<TScoreRecord> best;
    std::shared_ptr<TScoreRecord> lowest;
};
