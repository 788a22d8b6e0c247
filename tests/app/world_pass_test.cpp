// The world draw pass: what it puts on screen in which states, read back from real frames.
#include "harness/game_fixture.h"
#include "input/joypad.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "shapes/shape.h"

#include <algorithm>
#include <cstdlib>

namespace {

using WorldPassTest = GameTest;

long glowLinesDrawnBy(void (*draw)()) {
    resetRenderStats();
    draw();
    return renderStats().glowLines;
}

void drawWorld() {
    game->drawWorld();
}
void drawGrid() {
    game->grid->draw();
}

TEST_F(WorldPassTest, TheGridIsDrawnOnlyWhileARunIsOnScreen) {
    const int meshLines = 32 * 20 * 2;
    game->player->controlMode = ControlMode::Joypad; // a pad steers, so play draws no crosshair
    game->joypad->connected = 1;
    game->state = GameState::Title;
    const long withoutGrid = glowLinesDrawnBy(drawWorld);
    EXPECT_GT(withoutGrid, 0); // the border and the craft
    for (const GameState state : {GameState::Pause, GameState::Play, GameState::HiscoresPage,
                                  GameState::Title, GameState::Configuration, GameState::LifeLost,
                                  GameState::GameOver, GameState::Credits, GameState::Instructions}) {
        game->state = state;
        const bool runOnScreen = state == GameState::Play || state == GameState::Pause ||
                                 state == GameState::LifeLost || state == GameState::GameOver;
        EXPECT_EQ(glowLinesDrawnBy(drawWorld) - withoutGrid, runOnScreen ? meshLines : 0)
            << "state " << static_cast<int>(state);
    }
}

TEST_F(WorldPassTest, ASwitchedOffGridFadesOutOver34DrawnFramesAndBackIn) {
    TGrid& grid = *game->grid;
    grid.enabled = 0;
    int framesDrawn = 0;
    for (int frame = 0; frame < 60; ++frame)
        if (glowLinesDrawnBy(drawGrid) > 0) ++framesDrawn;
    EXPECT_EQ(framesDrawn, 34);
    EXPECT_LE(grid.fade, 0);

    grid.enabled = 1;
    for (int frame = 0; frame < 40; ++frame)
        EXPECT_EQ(glowLinesDrawnBy(drawGrid), 1280);
    EXPECT_GE(grid.fade, 1.0f);
    EXPECT_LT(grid.fade, 1.03f);
    const float settled = grid.fade;
    drawGrid();
    EXPECT_EQ(grid.fade, settled);
}

int channelSum(const std::array<int, 3>& pixel) {
    return pixel[0] + pixel[1] + pixel[2];
}

TEST_F(WorldPassTest, APlayFrameShowsTheBluishGridAndTheCraftAtTheScreenCentre) {
    startPlaying();
    stepFrames(3);
    ASSERT_EQ(game->state, GameState::Play);

    // A vertical grid line far outside the opening ripple: arena x 896, between rows 17 and 18.
    const int lineX = static_cast<int>(game->arenaLeft()) + 896;
    const int lineY = static_cast<int>(game->arenaTop()) + 544 + 16;
    const auto line = colorAt(lineX, lineY);
    EXPECT_GE(line[2], 60);
    EXPECT_GT(line[2], line[0] + 20);
    EXPECT_NEAR(line[0], line[1], 2);
    // Half-way between two lines of the mesh, only halos reach: darker than on the line.
    const auto between = colorAt(lineX + 16, lineY);
    EXPECT_LT(channelSum(between), channelSum(line));

    // The craft: what disappears from the same picture when its shape is hidden.
    game->drawWorld();
    const PixelBuffer withCraft = grabScreen();
    game->player->shape->visible = 0;
    game->drawWorld();
    const PixelBuffer withoutCraft = grabScreen();
    TPixelBuffer difference = *withCraft;
    for (size_t i = 0; i < difference.rgba.size(); ++i)
        difference.rgba[i] = static_cast<uint8_t>(std::abs(withCraft->rgba[i] - withoutCraft->rgba[i]));
    const TPixelBounds craft = litBounds(difference, 8);
    ASSERT_FALSE(craft.empty());
    const TVector& position = game->player->particle->position;
    EXPECT_NEAR((craft.left + craft.right) / 2.0, position.x, 6);
    EXPECT_NEAR((craft.top + craft.bottom) / 2.0, position.y, 6);
    EXPECT_LT(craft.right - craft.left, 80);
}

} // namespace
