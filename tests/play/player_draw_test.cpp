// Drawing the craft in a real game: the shield's grid bulge on every drawn frame of a running world and
// the crosshair that only keys-and-mouse play shows.
#include "harness/game_fixture.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "shapes/shape.h"

#include <cmath>

namespace {

using PlayerDrawTest = GameTest;

long glowLinesOfCraftDraw() {
    resetRenderStats();
    game->player->draw();
    return renderStats().glowLines;
}

// The summed acceleration of the grid points, which a push fills and the grid's next update consumes.
float gridAccelerationMagnitude() {
    float sum = 0;
    for (auto& column : game->grid->points)
        for (auto& point : column)
            sum += point.acceleration.length();
    return sum;
}

TEST_F(PlayerDrawTest, ACrosshairShowsOnlyForKeysAndMouseDuringPlay) {
    TPlayer& player = *game->player;
    player.shieldOn = 0;
    game->state = GameState::Play;
    player.controlMode = ControlMode::Joypad;
    game->joypad->connected = 1; // the pad steers
    const long craftOnly = glowLinesOfCraftDraw();
    EXPECT_EQ(craftOnly, static_cast<long>(player.shape->drawnLines.size()));

    // With no pad plugged in the keys and mouse steer the joypad mode too, and aim with the crosshair.
    game->joypad->connected = 0;
    EXPECT_EQ(glowLinesOfCraftDraw(), craftOnly + 2);

    player.controlMode = ControlMode::KeysAndMouse;
    EXPECT_EQ(glowLinesOfCraftDraw(), craftOnly + 2);

    game->state = GameState::Pause;
    EXPECT_EQ(glowLinesOfCraftDraw(), craftOnly);
}

TEST_F(PlayerDrawTest, AShieldedCraftPushesTheGridOnEveryDrawnFrame) {
    TPlayer& player = *game->player;
    game->state = GameState::Play;
    player.controlMode = ControlMode::Joypad; // a pad steers: no crosshair
    game->joypad->connected = 1;
    player.shieldOn = 0;
    for (auto& column : game->grid->points)
        for (auto& point : column)
            point.acceleration.set(0, 0);
    glowLinesOfCraftDraw();
    EXPECT_EQ(gridAccelerationMagnitude(), 0);

    player.shieldOn = 1;
    const long lines = glowLinesOfCraftDraw();
    EXPECT_EQ(lines,
              static_cast<long>(player.shape->drawnLines.size() + game->shieldShape->drawnLines.size()));
    const float afterOne = gridAccelerationMagnitude();
    EXPECT_GT(afterOne, 0);
    glowLinesOfCraftDraw();
    EXPECT_NEAR(gridAccelerationMagnitude(), 2 * afterOne, afterOne * 1e-3f);

    // Paused, no world step takes the pushes up: the shield is drawn, the grid is left as it is.
    game->state = GameState::Pause;
    const float beforePause = gridAccelerationMagnitude();
    EXPECT_EQ(glowLinesOfCraftDraw(), lines);
    EXPECT_EQ(gridAccelerationMagnitude(), beforePause);
}

} // namespace
