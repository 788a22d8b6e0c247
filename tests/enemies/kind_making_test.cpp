// Every kind's create: the enemy stands where it was made, entering or (the kinds born of another enemy)
// already active, and joins the enemies list last with its particle last among the particles. A dasher's
// shield goes in just before its dasher and never among the particles, which would move it.
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

namespace {

using KindMaking = EnemyKindTest;

using TMake = std::shared_ptr<TEnemy> (*)(float x, float y);
template <class Kind> std::shared_ptr<TEnemy> make(float x, float y) {
    return Kind::create(x, y);
}
std::shared_ptr<TEnemy> makeSplinter(float x, float y) {
    return TSplinter::create({x, y}, 8);
}
std::shared_ptr<TEnemy> makeSnake(float x, float y) {
    return TSnake::create(x, y, true, 0.01f, 1, nullptr);
}

TEST_F(KindMaking, EachKindJoinsBothListsLastWhereItWasMade) {
    const std::pair<TMake, EnemyState> kinds[] = {
        {make<TWanderer>, EnemyState::Entering}, {make<TChaser>, EnemyState::Entering},
        {make<TDodger>, EnemyState::Entering},   {make<TSplitter>, EnemyState::Entering},
        {makeSplinter, EnemyState::Active},      {make<TGravityWell>, EnemyState::Entering},
        {make<TWellChild>, EnemyState::Active},  {makeSnake, EnemyState::Entering},
        {make<TSwarmer>, EnemyState::Entering},  {make<TDasher>, EnemyState::Entering}};
    for (const auto& [create, firstState] : kinds) {
        const std::shared_ptr<TEnemy> enemy = create(120, 340);
        ASSERT_TRUE(enemy);
        SCOPED_TRACE(kindCode(enemy->kind()));
        EXPECT_EQ(enemy->state, firstState);
        EXPECT_TRUE(enemy->particle->position.equals({120, 340}));
        EXPECT_EQ(game->enemies.slotOf(enemy.get()), game->enemies.slotCount() - 1);
        EXPECT_EQ(game->particles.slotOf(enemy->particle.get()), game->particles.slotCount() - 1);
    }
    const auto dasher = TDasher::create(0, 0);
    EXPECT_EQ(game->enemies.slotOf(dasher->shield.get()) + 1, game->enemies.slotOf(dasher.get()));
    EXPECT_FALSE(game->particles.contains(dasher->shield->particle.get()));
}

} // namespace
