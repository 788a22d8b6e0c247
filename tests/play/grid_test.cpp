// The grid's springs, pushes and pulls. A grid on its own (no game running) has its arena corner at the
// screen origin, so the screen points below are also arena points.
#include "play/grid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float frameTime = 1.0f / 60;

struct GridMotion : ::testing::Test {
    std::shared_ptr<TGrid> grid = TGrid::create();

    TParticle& point(int i, int j) { return grid->points[i][j]; }
    static bool onOuterRing(int i, int j) {
        return i == 0 || j == 0 || i == TGrid::Columns - 1 || j == TGrid::Rows - 1;
    }
    template <class Check> void forEachPoint(Check check) {
        for (int i = 0; i < TGrid::Columns; ++i)
            for (int j = 0; j < TGrid::Rows; ++j)
                check(i, j, point(i, j));
    }
};

TEST_F(GridMotion, APushReachesOnlyInteriorPointsInsideItsRadiusAndTheNearestMost) {
    // Centre at arena (320, 224), between lattice points, so no point sits on it.
    grid->push(320 + 5, 224 + 3, 300);
    forEachPoint([&](int i, int j, TParticle& p) {
        const float dx = p.position.x - 325, dy = p.position.y - 227;
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (onOuterRing(i, j) || distance >= 300) {
            EXPECT_EQ(p.acceleration.x, 0) << i << "," << j;
            EXPECT_EQ(p.acceleration.y, 0) << i << "," << j;
        } else {
            // Straight away from the centre.
            EXPECT_GT(p.acceleration.x * dx + p.acceleration.y * dy, 0) << i << "," << j;
        }
    });
    // (radius - distance) * radius * 2: the point (320, 224) is sqrt(34) away, (320, 448) sqrt(48866).
    const float near = point(10, 7).acceleration.length();
    const float far = point(10, 14).acceleration.length();
    EXPECT_NEAR(near, (300 - std::sqrt(34.0f)) * 600, 1.0f);
    EXPECT_NEAR(far, (300 - std::sqrt(48866.0f)) * 600, 1.0f);
}

TEST_F(GridMotion, APushOrPullCentredExactlyOnAPointLeavesThatPointAlone) {
    grid->push(320, 224, 300);
    EXPECT_EQ(point(10, 7).acceleration.x, 0);
    EXPECT_EQ(point(10, 7).acceleration.y, 0);
    EXPECT_NE(point(11, 7).acceleration.x, 0);

    grid->pull(320, 224);
    grid->update(frameTime);
    forEachPoint([](int i, int j, TParticle& p) {
        ASSERT_TRUE(std::isfinite(p.position.x) && std::isfinite(p.position.y)) << i << "," << j;
    });
}

TEST_F(GridMotion, APullDrawsPointsWithin800UnitsTowardsItsCentre) {
    grid->pull(16, 16);
    // (800 - distance) * 5 towards the centre for the point (32, 32).
    EXPECT_NEAR(point(1, 1).acceleration.length(), (800 - std::sqrt(512.0f)) * 5, 0.01f);
    EXPECT_LT(point(1, 1).acceleration.x, 0);
    EXPECT_LT(point(1, 1).acceleration.y, 0);
    // The far corner, (992, 608), is over 800 away.
    EXPECT_EQ(point(31, 19).acceleration.length(), 0);
}

TEST_F(GridMotion, TheOuterRingNeverMovesWhileTheInteriorSpringsBackToRest) {
    for (int frame = 0; frame < 30; ++frame) {
        grid->push(5, 5, 300);
        grid->push(1019, 635, 300);
        grid->pull(512, 320);
        grid->update(frameTime);
    }
    EXPECT_GT(std::fabs(point(2, 2).position.x - 64), 1.0f); // the interior did move
    for (int frame = 0; frame < 600; ++frame)
        grid->update(frameTime);
    forEachPoint([](int i, int j, TParticle& p) {
        const float tolerance = onOuterRing(i, j) ? 0.0f : 0.01f;
        ASSERT_NEAR(p.position.x, 32.0f * i, tolerance) << i << "," << j;
        ASSERT_NEAR(p.position.y, 32.0f * j, tolerance) << i << "," << j;
    });
}

TEST_F(GridMotion, APointThrownPastAWallIsPutBackTwoUnitsInsideWithItsVelocityKept) {
    point(1, 19).velocity.set(-2000, 2000);
    point(31, 1).velocity.set(2000, -2000);
    grid->update(0.1f);
    EXPECT_EQ(point(1, 19).position.x, 2);
    EXPECT_EQ(point(1, 19).position.y, 638);
    EXPECT_EQ(point(31, 1).position.x, 1022);
    EXPECT_EQ(point(31, 1).position.y, 2);
    EXPECT_LT(point(1, 19).velocity.x, -1000);
    EXPECT_GT(point(1, 19).velocity.y, 1000);
}

TEST_F(GridMotion, ADisabledGridIgnoresPushesAndPullsAndHoldsItsPointsWhereTheyAre) {
    grid->push(325, 227, 300);
    grid->update(frameTime);
    const TVector displaced = point(10, 7).position;
    ASSERT_FALSE(displaced.equals(TVector{320, 224}));

    grid->enabled = 0;
    for (int frame = 0; frame < 20; ++frame) {
        grid->push(325, 227, 300);
        grid->pull(325, 227);
        grid->update(frameTime);
    }
    EXPECT_TRUE(point(10, 7).position.equals(displaced));

    grid->enabled = 1; // the springs resume from where the points were frozen
    grid->update(frameTime);
    EXPECT_FALSE(point(10, 7).position.equals(displaced));
}

} // namespace
