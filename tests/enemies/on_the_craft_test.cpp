// Every kind exactly on the craft, and a well exactly on a spark, a shot and other enemies: there is no
// direction to push along, and nothing may turn into NaN.
#include "enemies/chaser.h"
#include "enemies/dasher.h"
#include "enemies/dodger.h"
#include "enemies/enemy_kinds_kit.h"
#include "enemies/gravity_well.h"
#include "enemies/snake.h"
#include "enemies/splinter.h"
#include "enemies/splitter.h"
#include "enemies/swarmer.h"
#include "enemies/wanderer.h"
#include "enemies/well_child.h"
#include "input/joypad.h"
#include "play/shot.h"
#include "play/spark.h"

namespace {

using OnTheCraft = EnemyKindTest;

TEST_F(OnTheCraft, NoKindLetsANaNIntoItsMotion) {
    const TVector at = craft().particle->position;
    game->joypad = std::make_shared<TJoypad>();
    game->joypad->fire.set(0, -1);
    craft().shieldOn = 1; // contact breaks them up instead of ending the test with the craft
    TShot::create(at, TVector{0, 0});
    TSpark::create(at, {}, {.red = 255, .green = 255, .blue = 255, .life = 5, .damping = 1});

    const std::shared_ptr<TEnemy> enemies[] = {
        TWanderer::create(at.x, at.y),    TChaser::create(at.x, at.y),
        TDodger::create(at.x, at.y),      TSplitter::create(at.x, at.y),
        TSplinter::create(at, 8),         TWellChild::create(at.x, at.y),
        TSwarmer::create(at.x, at.y),     TDasher::create(at.x, at.y),
        TGravityWell::create(at.x, at.y), TSnake::create(at.x, at.y, 1, 0.01f, 1, nullptr)};
    for (const auto& enemy : enemies)
        if (enemy->state == EnemyState::Entering) enemy->state = EnemyState::Active;
    enemies[7]->state = TDasher::Aiming;
    enemies[8]->state = TGravityWell::Sucking;

    // Each takes one step while all the others still sit on the spot.
    for (const auto& enemy : enemies) {
        runOnce(*enemy, 0.016f);
        EXPECT_TRUE(isFinite(enemy->particle->acceleration)) << enemy->kind();
    }
    EXPECT_TRUE(isFinite(craft().particle->acceleration));
    stepWorld(10, 0.016f);
    game->particles.forEach([](TParticle& particle) { EXPECT_TRUE(isFinite(particle.position)); });
}

} // namespace
