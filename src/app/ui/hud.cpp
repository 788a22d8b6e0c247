// The heads-up counters at the top of the screen during a run. Numbers are formatted into a stack buffer:
// the HUD is drawn every frame and must not allocate.
#include "app/game.h"
#include "platform/display.h"
#include "play/player.h"
#include "scores/hiscore_table.h"

#include <charconv>
#include <string_view>

namespace {

class TNumberText {
public:
    std::string_view format(std::string_view prefix, int value) {
        const size_t length = prefix.copy(digits, sizeof digits);
        const auto result = std::to_chars(digits + length, digits + sizeof digits, value);
        return {digits, static_cast<size_t>(result.ptr - digits)};
    }

private:
    char digits[24];
};

} // namespace

void TGame::drawHud() {
    setDrawAlpha(1.0f);
    setDrawOrigin(0, 0);
    setDrawScale(1, 1);
    setDrawRotation(0);
    TNumberText number;

    setDrawColor(100, 255, 100);
    drawString("Score", 30, 30);
    drawString("High", 620, 30);
    drawString(number.format("", player->lives), 310, 30);
    drawString(number.format("", player->bombs), 410, 30);
    drawString(number.format("X:", player->multiplier), 470, 30);

    // The table's best, not the run's: it moves only when a finished run has been entered.
    const int best = hiscores->best ? hiscores->best->score : 0;
    setDrawColor(255, 255, 50);
    drawString(number.format("", player->stats.score), 30, 50);
    drawString(number.format("", best), 620, 50);

    setDrawColor(120, 200, 120);
    drawPicture(lifeIcon, 270, 20, 0);
    drawPicture(bombIcon, 370, 20, 0);
}
