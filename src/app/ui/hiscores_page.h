// The HISCORES page, reached from the main menu: the table as the title's hiscore phase draws it, with
// one row chosen (the ten entries, best first, then LAST RUN). Up and Down (or the pad's stick) choose,
// Enter (the pad's select) watches the chosen run, Escape (the pad's back) returns to the title.
#pragma once

#include <string>

class TGame;

void openHiscoresPage(TGame& g);
void hiscoresPageStep(TGame& g, float dt);
// The row chosen: 0..9 the table's entries, 10 the last run.
int hiscoresPageRow();
// What the page says about the chosen row instead of playing it (no run kept, a run refused).
const std::string& hiscoresPageNote();
