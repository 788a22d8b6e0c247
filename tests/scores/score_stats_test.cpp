#include "harness/game_fixture.h"
#include "play/player.h"

#include <gtest/gtest.h>

namespace {

using ScoreStatsTest = GameTest;

bool litIn(int x, int y, int w, int h) {
    return !litBounds(*grabScreenRegion(x, y, w, h)).empty();
}

} // namespace

// Every kind's icon sits in its cell with its count to the right; the two cells of the short last row stay
// empty. A count starts 35 right of its icon, so the icon cells themselves hold only the icons.
TEST_F(ScoreStatsTest, TheDetailedBlockPutsEachKindsIconAndCountInItsPlace) {
    TScoreRecord& record = game->player->stats;
    record.score = 123456;
    record.kills = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    clearFrame();
    const int top = 200;
    record.drawStats(static_cast<float>(top), 0, true);

    struct TCell {
        int x, row;
    };
    const TCell filled[] = {{70, 45},  {240, 45}, {410, 45}, {580, 45},  {70, 78},
                            {240, 78}, {410, 78}, {580, 78}, {240, 111}, {410, 111}};
    for (const TCell& cell : filled) {
        EXPECT_TRUE(litIn(cell.x, top + cell.row, 32, 32)) << "icon at " << cell.x << ", +" << cell.row;
        EXPECT_TRUE(litIn(cell.x + 35, top + cell.row + 8, 40, 16))
            << "count at " << cell.x << ", +" << cell.row;
    }
    for (int x : {70, 580})
        EXPECT_FALSE(litIn(x, top + 111, 100, 32)) << "no kind at " << x << " in the last row";
    // The score and shots lines are centred above the icons.
    const TPixelBounds lines = litBounds(*grabScreenRegion(0, top, 800, 40));
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR((lines.left + lines.right) / 2, 400, 8);
}

TEST_F(ScoreStatsTest, TheShortFormIsOneCentredLine) {
    TScoreRecord& record = game->player->stats;
    record.name = "ACE";
    record.score = 9100;
    clearFrame();
    record.drawStats(300, 7, false);
    const TPixelBounds lit = litBounds(*grabScreen());
    ASSERT_FALSE(lit.empty());
    EXPECT_GE(lit.top, 300);
    EXPECT_LE(lit.bottom, 300 + 20);
    EXPECT_NEAR((lit.left + lit.right) / 2, 400, 8);
}
