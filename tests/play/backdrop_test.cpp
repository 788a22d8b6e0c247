// The view scroll and the starfield.
#include "harness/game_fixture.h"
#include "play/backdrop.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/scroll.h"

namespace {

using BackdropTest = GameTest;

TEST_F(BackdropTest, TheScrollIsMinusHalfTheCraftsTravelThisFrameAndIsTheWorldScroll) {
    game->player->particle->velocity.set(200, -100);
    game->backdrop->update(0.5f);
    EXPECT_FLOAT_EQ(game->backdrop->scroll.x, -50);
    EXPECT_FLOAT_EQ(game->backdrop->scroll.y, 25);
    EXPECT_EQ(&game->backdrop->scroll, &worldScrollOffset());
}

TEST_F(BackdropTest, StarsMoveByTheScrollScaledByTheirDepth) {
    game->backdrop->stars = {{100, 100, 0.5f}, {100, 100, 1.0f}, {100, 100, 0.0f}};
    game->player->particle->velocity.set(-40, 20);
    game->backdrop->update(1.0f); // scroll (20, -10)
    const auto& stars = game->backdrop->stars;
    EXPECT_FLOAT_EQ(stars[0].x, 110);
    EXPECT_FLOAT_EQ(stars[0].y, 95);
    EXPECT_FLOAT_EQ(stars[1].x, 120);
    EXPECT_FLOAT_EQ(stars[1].y, 90);
    EXPECT_FLOAT_EQ(stars[2].x, 100); // depth 0: painted on the sky
}

TEST_F(BackdropTest, StarsLeavingAnEdgeComeBackAtTheOppositeOne) {
    auto& backdrop = *game->backdrop;
    const auto moved = [&](TStar star, float scrollX, float scrollY) {
        backdrop.stars = {star};
        backdrop.scroll.set(scrollX, scrollY);
        backdrop.moveStars();
        return backdrop.stars[0];
    };
    EXPECT_EQ(moved({795, 300, 1}, 10, 0).x, 0);  // out on the right, in on the left
    EXPECT_EQ(moved({5, 300, 1}, -10, 0).x, 800); // out on the left, in on the right
    EXPECT_EQ(moved({400, 3, 1}, 0, -5).y, 600);  // out at the top, in at the bottom
    EXPECT_EQ(moved({400, 597, 1}, 0, 5).y, 0);   // out at the bottom, in at the top
    EXPECT_EQ(moved({5, 300, 1}, 10, 0).x, 15);   // moving away from an edge: no wrap
    EXPECT_EQ(moved({800, 600, 1}, 0, 0).x, 800); // exactly on the edge is still on screen
    EXPECT_EQ(moved({800, 600, 1}, 0, 0).y, 600);
}

TEST_F(BackdropTest, DrawingClearsToDarkBlueAndAddsEachStarInGreyByDepth) {
    setDrawOrigin(50, 50); // left over from someone else's drawing: the backdrop must not inherit it
    setDrawAlpha(0.2f);
    game->backdrop->stars = {{100, 50, 0.5f}, {700, 500, 1.0f}};
    game->backdrop->draw();
    const auto sky = colorAt(300, 300);
    EXPECT_EQ(sky[0], 10);
    EXPECT_EQ(sky[1], 10);
    EXPECT_EQ(sky[2], 20);
    const auto dim = colorAt(100, 50);
    EXPECT_EQ(dim[0], 10 + 127); // added onto the sky: the standing blend mode is additive
    EXPECT_EQ(dim[2], 20 + 127);
    const auto bright = colorAt(700, 500);
    EXPECT_EQ(bright[0], 255);
    EXPECT_EQ(bright[1], 255);
}

} // namespace
