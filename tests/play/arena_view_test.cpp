// The arena rectangle, the scrolling view and the order of the world update pass.
#include "enemies/enemy.h"
#include "harness/game_fixture.h"
#include "play/arena_border.h"
#include "play/backdrop.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/scroll.h"

namespace {

constexpr float frameTime = 1.0f / 60;

using ArenaViewTest = GameTest;

TEST_F(ArenaViewTest, WorldParticlesMoveByLastFramesScrollAndTheBackdropThenSetsTheNext) {
    game->player->particle->velocity.set(100, 0);
    worldScrollOffset().set(4, -2);
    const TVector before = game->border->particle->position;
    game->updateWorld(0.1f);
    const TVector& after = game->border->particle->position;
    EXPECT_FLOAT_EQ(after.x - before.x, 4);
    EXPECT_FLOAT_EQ(after.y - before.y, -2);
    // The craft's velocity after this frame's damping, halved and reversed.
    const TVector& velocity = game->player->particle->velocity;
    EXPECT_FLOAT_EQ(worldScrollOffset().x, -0.5f * velocity.x * 0.1f);
    EXPECT_FLOAT_EQ(velocity.x, 85);
}

TEST_F(ArenaViewTest, ACraftHeldAgainstTheLeftWallStopsTheViewHorizontallyButNotVertically) {
    TParticle& craft = *game->player->particle;
    const float wall = game->arenaLeft();
    craft.position.set(wall + 11, 300);
    craft.velocity.set(-300, 200);
    worldScrollOffset().set(-5, -3); // last frame the view was still following leftwards
    const TVector start = game->border->particle->position;
    for (int frame = 0; frame < 10; ++frame) {
        craft.acceleration.set(-2500, 0);
        game->updateWorld(frameTime);
        ASSERT_GE(craft.position.x, wall + 11) << frame;
        ASSERT_FLOAT_EQ(game->border->particle->position.x, start.x) << frame;
    }
    EXPECT_FLOAT_EQ(game->arenaLeft(), wall);
    EXPECT_LT(game->border->particle->position.y, start.y - 3); // the view still follows downwards
}

struct TStillEnemy : TEnemy {
    void update(float) override {}
    EnemyKind kind() const override { return EnemyKind::Wanderer; }
};

TEST_F(ArenaViewTest, ARunStartsWithNoEnemiesAndNoneOfTheirParticles) {
    for (int i = 0; i < 3; ++i) {
        auto enemy = std::make_shared<TStillEnemy>();
        enemy->particle = TParticle::create(100.0f * i, 100, 0.9f, 300);
        game->enemies.add(enemy);
        game->particles.add(enemy->particle);
    }
    game->player->lives = 1;
    game->player->weaponLevel = 3;
    game->snakeCount = 4;
    game->startRun();
    EXPECT_TRUE(game->enemies.empty());
    EXPECT_EQ(game->particles.size(), 2u); // the craft and the border
    EXPECT_EQ(game->player->lives, 3);
    EXPECT_EQ(game->player->bombs, 3);
    EXPECT_EQ(game->player->weaponLevel, 1);
    EXPECT_EQ(game->player->shieldOn, 0);
    EXPECT_EQ(game->snakeCount, 0);
    EXPECT_EQ(game->snakeLimit, 10);
    // The arena is recentred on the craft.
    EXPECT_TRUE(game->border->particle->position.equals(game->player->particle->position));
}

} // namespace
