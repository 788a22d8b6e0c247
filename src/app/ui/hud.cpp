// The heads-up counters at the top of the screen during a run. Numbers are formatted into a stack buffer:
// the HUD is drawn every frame and must not allocate.
#include "app/game.h"
#include "platform/display.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "scores/text_line.h"

void TGame::drawHud() {
    setDrawAlpha(1.0f);
    setDrawOrigin(0, 0);
    setDrawScale(1, 1);
    setDrawRotation(0);

    setDrawColor(100, 255, 100);
    drawString("Score", 30, 30);
    drawString("High", 620, 30);
    drawString((TTextLine() << player->lives).view(), 310, 30);
    drawString((TTextLine() << player->bombs).view(), 410, 30);
    drawString((TTextLine() << "X:" << player->multiplier).view(), 470, 30);

    // The table's best, not the run's: it moves only when a finished run has been entered.
    const int best = hiscores->best ? hiscores->best->score : 0;
    setDrawColor(255, 255, 50);
    drawString((TTextLine() << player->stats.score).view(), 30, 50);
    drawString((TTextLine() << best).view(), 620, 50);

    setDrawColor(120, 200, 120);
    drawPicture(lifeIcon, 270, 20, 0);
    drawPicture(bombIcon, 370, 20, 0);
}
