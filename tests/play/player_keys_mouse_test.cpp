// Keys and mouse in a real game, through the platform's own input events: thrust keys, the left button
// firing towards the pointer.
#include "audio/sound_bank.h"
#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shot.h"
#include "shapes/shape.h"

#include <cmath>

namespace {

class PlayerKeysMouseTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        if (HasFatalFailure()) return;
        game->state = GameState::Play;
        player = game->player.get();
        player->controlMode = ControlMode::KeysAndMouse;
        moveMouse(400, 300);
    }

    void TearDown() override {
        for (int key : {Key::Left, Key::Keypad7, Key::Right})
            releaseKey(key);
        mouseButton(1, false);
        mouseButton(2, false);
        GameTest::TearDown();
    }

    static constexpr float Frame = 1.0f / 60.0f;
    TPlayer* player = nullptr;
};

TEST_F(PlayerKeysMouseTest, CursorLeftWithKeypadSevenThrustsOncePerAxis) {
    pressKey(Key::Left);
    pressKey(Key::Keypad7);
    player->update(Frame);
    EXPECT_FLOAT_EQ(player->particle->acceleration.x, -2500);
    EXPECT_FLOAT_EQ(player->particle->acceleration.y, -2500);
    EXPECT_FALSE(game->sparks.empty()); // exhaust
    EXPECT_FLOAT_EQ(player->shape->heading.x, 2500);
    EXPECT_FLOAT_EQ(player->shape->heading.y, 2500);
}

TEST_F(PlayerKeysMouseTest, LeftButtonFiresTowardsThePointer) {
    moveMouse(400, 100); // straight above the craft at (400, 300)
    mouseButton(1, true);
    player->update(Frame);
    int fired = 0;
    game->shots.forEach([&](TShot& shot) {
        ++fired;
        EXPECT_NEAR(shot.particle->velocity.x, 0, 1e-3);
        EXPECT_NEAR(shot.particle->velocity.y, -800, 1e-3);
    });
    EXPECT_EQ(fired, 2);
}

TEST_F(PlayerKeysMouseTest, PointerOnTheCraftFiresNothingAndLeavesNoNaN) {
    const TVector& p = player->particle->position;
    moveMouse(static_cast<int>(p.x), static_cast<int>(p.y));
    mouseButton(1, true);
    for (int frame = 0; frame < 10; ++frame)
        player->update(Frame);
    EXPECT_TRUE(game->shots.empty());
    EXPECT_EQ(player->stats.shotsFired, 0);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));

    moveMouse(static_cast<int>(p.x) + 100, static_cast<int>(p.y)); // off the craft it fires at once
    player->update(Frame);
    EXPECT_EQ(game->shots.size(), 2u);
}

} // namespace
