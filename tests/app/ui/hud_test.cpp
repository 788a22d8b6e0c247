// The heads-up display read back from the screen: each counter is compared with the same text drawn
// alone at its place, so a wrong number, position or colour shows as a different picture.
#include "harness/game_fixture.h"
#include "platform/display.h"
#include "play/player.h"
#include "scores/hiscore_table.h"

#include <string>

namespace {

class HudTest : public GameTest {
protected:
    struct TCounter {
        std::string text;
        int x, y;
        std::array<int, 3> color;
    };

    // The pixels of the box the counter's text can cover: its width and the rows down to the next line.
    static std::vector<uint8_t> boxOf(const TCounter& counter) {
        const int width = measureTextWidth(counter.text) + 3;
        return grabScreenRegion(counter.x - 1, counter.y - 1, width, 20)->rgba;
    }

    static std::vector<uint8_t> drawnAlone(const TCounter& counter) {
        clearFrame();
        setDrawColor(counter.color[0], counter.color[1], counter.color[2]);
        drawString(counter.text, static_cast<float>(counter.x), static_cast<float>(counter.y));
        return boxOf(counter);
    }

    void expectHudShows(const std::vector<TCounter>& counters) {
        clearFrame();
        game->drawHud();
        std::vector<std::vector<uint8_t>> shown;
        for (const TCounter& counter : counters)
            shown.push_back(boxOf(counter));
        for (size_t i = 0; i < counters.size(); ++i)
            EXPECT_TRUE(shown[i] == drawnAlone(counters[i]))
                << "\"" << counters[i].text << "\" at " << counters[i].x << ", " << counters[i].y;
    }

    void setBest(int score) {
        auto table = std::make_shared<THiscoreTable>();
        table->best = std::make_shared<TScoreRecord>();
        table->best->score = score;
        game->hiscores = table;
    }

    static constexpr std::array<int, 3> Green{100, 255, 100};
    static constexpr std::array<int, 3> Yellow{255, 255, 50};
};

TEST_F(HudTest, CountersStandAtTheirPlacesInTheirColours) {
    TPlayer& craft = *game->player;
    craft.lives = 7;
    craft.bombs = 2;
    craft.multiplier = 6;
    craft.stats.score = 40125;
    setBest(98000);
    expectHudShows({{"Score", 30, 30, Green},
                    {"7", 310, 30, Green},
                    {"2", 410, 30, Green},
                    {"X:6", 470, 30, Green},
                    {"High", 620, 30, Green},
                    {"40125", 30, 50, Yellow},
                    {"98000", 620, 50, Yellow}});
}

TEST_F(HudTest, HighShowsTheTablesBestNotTheRunsScore) {
    game->player->stats.score = 250000;
    setBest(120000);
    expectHudShows({{"120000", 620, 50, Yellow}, {"250000", 30, 50, Yellow}});

    game->hiscores.reset(); // no table yet: nothing to beat
    game->player->lives = 0;
    expectHudShows({{"0", 620, 50, Yellow}, {"0", 310, 30, Green}});
}

TEST_F(HudTest, IconsSitLeftOfTheirCounts) {
    clearFrame();
    game->drawHud();
    const TPixelBounds lifeIcon = litBounds(*grabScreenRegion(250, 10, 55, 40));
    const TPixelBounds bombIcon = litBounds(*grabScreenRegion(350, 10, 55, 40));
    ASSERT_FALSE(lifeIcon.empty());
    ASSERT_FALSE(bombIcon.empty());
    EXPECT_GE(lifeIcon.left + 250, 270);
    EXPECT_GE(lifeIcon.top + 10, 20);
    EXPECT_GE(bombIcon.left + 350, 370);
    EXPECT_GE(bombIcon.top + 10, 20);
}

} // namespace
