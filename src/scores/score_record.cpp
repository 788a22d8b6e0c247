#include "scores/score_record.h"

void TScoreRecord::reset() {
    name.clear();
    brag.clear();
    score = 0;
    kills.fill(0);
    shotsFired = 0;
    shotsHit = 0;
}
