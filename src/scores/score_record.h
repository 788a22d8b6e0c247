// TScoreRecord: one run's result. The craft owns the current run's record; the hiscore table holds ten.
// The same type carries the name-entry dialogue of the game-over screen and the statistics block.
#pragma once

#include <array>
#include <string>

class TScoreRecord {
public:
    std::string name;
    std::string brag;
    int score = 0;
    std::array<int, 10> kills{}; // per enemy kind 0..9
    int shotsFired = 0;
    int shotsHit = 0;
    int entryStep = 0;     // 1 asking for the name, 2 for the brag text
    std::string nameInput; // kept between runs, so the previous name is offered again
    std::string bragInput;

    // Start of a run: the result is cleared; the inputs and the entry step are kept.
    void reset();
};
