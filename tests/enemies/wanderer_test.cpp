#include "enemies/enemy_kinds_kit.h"
#include "enemies/wanderer.h"

namespace {

using Wanderer = EnemyKindTest;

TEST_F(Wanderer, SetsOffAtSeventyWhenItsEntryEndsAndChangesCourseEverySecondOfUpdateTime) {
    // Its direction is the first two draws after the seed, the first one for y.
    seedRandom(99);
    const auto y = static_cast<float>(randomReal(-1, 1));
    const auto x = static_cast<float>(randomReal(-1, 1));
    TVector setOff{x, y};
    setOff.normalize().scale(70);
    seedRandom(99);
    auto wanderer = TWanderer::create(100, 100);
    while (wanderer->state == EnemyState::Entering) {
        EXPECT_FLOAT_EQ(wanderer->particle->velocity.length(), 0);
        stepWorld(2, 0.3f);
    }
    EXPECT_FLOAT_EQ(wanderer->particle->velocity.x, setOff.x);
    EXPECT_FLOAT_EQ(wanderer->particle->velocity.y, setOff.y);
    EXPECT_FLOAT_EQ(wanderer->timer, 0); // the first course change comes with the next update

    stepWorld(2, 0.3f);
    EXPECT_FLOAT_EQ(wanderer->timer, 1.0f);
    const TVector course = wanderer->particle->velocity;
    EXPECT_FALSE(course.equals(setOff));
    // 0.7, 0.4, 0.1 left: the course and the speed hold through the integrations in between.
    for (int i = 0; i < 3; ++i) {
        stepWorld(2, 0.3f);
        EXPECT_TRUE(wanderer->particle->velocity.equals(course)) << i;
    }
    stepWorld(2, 0.3f);
    EXPECT_FLOAT_EQ(wanderer->timer, 1.0f);
    EXPECT_FALSE(wanderer->particle->velocity.equals(course));
    EXPECT_NEAR(wanderer->particle->velocity.length(), 70, 1e-3);
}

} // namespace
