#include "enemies/enemy_kinds_kit.h"
#include "enemies/swarmer.h"

namespace {

using Swarmer = EnemyKindTest;

TEST_F(Swarmer, SpinsInEveryStateSoThatADyingOneOnlyFadesInPlace) {
    auto swarmer = TSwarmer::create(100, 100);
    swarmer->dyingTime = 10; // stays in the list throughout
    for (EnemyState state :
         {EnemyState::Entering, EnemyState::Active, EnemyState::Dying, EnemyState::Frozen}) {
        swarmer->state = state;
        TVector expected = swarmer->shape->heading;
        expected.rotate(3);
        runOnce(*swarmer, 0.016f);
        EXPECT_NEAR(swarmer->shape->heading.x, expected.x, 1e-5) << state;
        EXPECT_NEAR(swarmer->shape->heading.y, expected.y, 1e-5) << state;
    }

    // The re-rotation that the spin asks for rebuilds the lines the break-apart slid: they keep their
    // place (the test outline's lines are centred on the origin) and only fade.
    swarmer->state = EnemyState::Dying;
    const float alphaBefore = swarmer->shape->drawnLines[0].alpha;
    runOnce(*swarmer, 0.05f);
    ASSERT_EQ(swarmer->shape->needsRotation, 1);
    swarmer->shape->rotateLines(); // what draw does with it
    const TShapeLine& line = swarmer->shape->drawnLines[0];
    EXPECT_NEAR(line.start.x + line.end.x, 0, 1e-3);
    EXPECT_NEAR(line.start.y + line.end.y, 0, 1e-3);
    EXPECT_FLOAT_EQ(line.alpha, alphaBefore * 0.9f);
}

} // namespace
