// The heads-up display read back from the screen: each counter is compared with the same text drawn alone
// at its place, so a wrong number, position or colour shows as a different picture.
#include "harness/game_fixture.h"
#include "platform/display.h"
#include "play/player.h"
#include "scores/hiscore_table.h"

#include <string>

namespace {

struct TCounter {
    std::string text;
    int x, y;
    std::array<int, 3> color;
};

// The box the counter's text can cover: its width, and the rows down to the next line.
std::vector<uint8_t> boxOf(const TCounter& counter) {
    return grabScreenRegion(counter.x - 1, counter.y - 1, measureTextWidth(counter.text) + 3, 20)->rgba;
}

void expectHudShows(const std::vector<TCounter>& counters) {
    clearFrame();
    game->drawHud();
    std::vector<std::vector<uint8_t>> shown;
    for (const TCounter& counter : counters)
        shown.push_back(boxOf(counter));
    for (size_t i = 0; i < counters.size(); ++i) {
        const TCounter& counter = counters[i];
        clearFrame();
        setDrawColor(counter.color[0], counter.color[1], counter.color[2]);
        drawString(counter.text, static_cast<float>(counter.x), static_cast<float>(counter.y));
        EXPECT_TRUE(shown[i] == boxOf(counter))
            << "\"" << counter.text << "\" at " << counter.x << ", " << counter.y;
    }
}

void setBest(int score) {
    game->hiscores = std::make_shared<THiscoreTable>();
    game->hiscores->best = std::make_shared<TScoreRecord>();
    game->hiscores->best->score = score;
}

constexpr std::array<int, 3> Green{100, 255, 100};
constexpr std::array<int, 3> Yellow{255, 255, 50};

using HudTest = GameTest;

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
    expectHudShows({{"120000", 620, 50, Yellow}});
    game->hiscores->best = nullptr; // an empty table: nothing to beat
    expectHudShows({{"0", 620, 50, Yellow}});
}

} // namespace
