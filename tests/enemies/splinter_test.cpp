#include "enemies/enemy_kinds_kit.h"
#include "enemies/splinter.h"

#include <cmath>

namespace {

using Splinter = EnemyKindTest;

TEST_F(Splinter, SwirlsAboutItsHomingLineBySpinDegreesPerUpdateInTheSenseOfItsSign) {
    for (float spin : {8.0f, -8.0f, -10.0f}) {
        auto splinter = TSplinter::create(TVector{100, 100}, spin);
        EXPECT_EQ(splinter->state, EnemyState::Active);
        EXPECT_FLOAT_EQ(splinter->shape->scale, 0.5f);
        for (int update = 0; update < 3; ++update) {
            const double radians = degreesToRadians(spin * static_cast<float>(update));
            TVector orbit{static_cast<float>(std::sin(radians) * 2200),
                          static_cast<float>(std::cos(radians) * 2200)};
            if (spin > 0) orbit.negate();
            splinter->particle->acceleration.set(0, 0);
            runOnce(*splinter, 0.016f);
            const TVector expected = homing(*splinter, 300).add(orbit);
            EXPECT_NEAR(splinter->particle->acceleration.x, expected.x, 1e-2) << spin << " " << update;
            EXPECT_NEAR(splinter->particle->acceleration.y, expected.y, 1e-2) << spin << " " << update;
        }
        game->enemies.remove(splinter.get());
    }
}

} // namespace
