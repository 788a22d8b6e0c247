// The grid's springs, pushes and pulls, on the grid of a whole game whose arena has its top-left corner
// moved to the screen origin, so the screen points below are also arena points.
#include "play/grid.h"

#include "harness/game_fixture.h"
#include "play/arena_border.h"
#include "play/particle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float gridFrameTime = 1.0f / 60;

struct GridMotion : GameTest {
    void SetUp() override {
        GameTest::SetUp();
        if (HasFatalFailure()) return;
        game->border->particle->position.set(TArenaBorder::HalfWidth, TArenaBorder::HalfHeight);
        grid = game->grid;
    }

    std::shared_ptr<TGrid> grid;

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
    grid->update(gridFrameTime);
    forEachPoint([](int i, int j, TParticle& p) {
        ASSERT_TRUE(std::isfinite(p.position.x) && std::isfinite(p.position.y)) << i << "," << j;
    });
}

// A push looks only at the columns and rows that can reach its square; these compare it, point for point
// and bit for bit, with the push as the game defines it over every interior point, on a grid whose points
// have wandered far from their rest positions and across each other's columns and rows.
struct GridPushReach : GridMotion {
    // The defining push, over every interior point.
    static void pushEveryPoint(TGrid& grid, float x, float y, float radius) {
        for (int i = 1; i < TGrid::Columns - 1; ++i)
            for (int j = 1; j < TGrid::Rows - 1; ++j) {
                TParticle& p = grid.points[i][j];
                const float dx = p.position.x - x, dy = p.position.y - y;
                const float distance = std::sqrt(dx * dx + dy * dy);
                if (distance >= radius || distance <= 0.001f) continue;
                const float strength = (radius - distance) * radius * 2.0f;
                p.acceleration.x += dx / distance * strength;
                p.acceleration.y += dy / distance * strength;
            }
    }

    void scramble() {
        // Deterministic kicks of up to 3000 units a second: after a few updates points sit hundreds of
        // units from home, some against the walls.
        for (int frame = 0; frame < 4; ++frame) {
            forEachPoint([&](int i, int j, TParticle& p) {
                p.velocity.set(static_cast<float>((i * 7919 + j * 104729 + frame * 31) % 6001 - 3000),
                               static_cast<float>((i * 6007 + j * 7561 + frame * 17) % 6001 - 3000));
            });
            grid->update(gridFrameTime);
        }
    }

    void expectPushesMatch(float x, float y, float radius) {
        std::shared_ptr<TGrid> reference = std::make_shared<TGrid>(*grid);
        grid->push(x, y, radius);
        pushEveryPoint(*reference, x, y, radius);
        forEachPoint([&](int i, int j, TParticle& p) {
            const TVector& expected = reference->points[i][j].acceleration;
            ASSERT_EQ(p.acceleration.x, expected.x)
                << "push at " << x << "," << y << " point " << i << "," << j;
            ASSERT_EQ(p.acceleration.y, expected.y)
                << "push at " << x << "," << y << " point " << i << "," << j;
        });
    }
};

TEST_F(GridPushReach, MatchesAPushOverEveryPointOnAScrambledGrid) {
    scramble();
    for (const float radius : {20.0f, 50.0f, 300.0f})
        for (float x = -40; x <= 1070; x += 37)
            for (float y = -40; y <= 690; y += 41)
                expectPushesMatch(x, y, radius);
}

TEST_F(GridPushReach, FollowsPointsThatMovedSinceTheLastUpdate) {
    // One point driven at full speed far from home: a small push where it now is must find it, and one
    // where it was must not.
    for (int frame = 0; frame < 8; ++frame) {
        point(5, 5).velocity.set(2140, 1290);
        grid->update(gridFrameTime);
    }
    const TVector at = point(5, 5).position;
    ASSERT_GT(at.x, 300.0f);
    grid->push(at.x + 3, at.y + 4, 20);
    EXPECT_LT(point(5, 5).acceleration.x, 0);
    EXPECT_LT(point(5, 5).acceleration.y, 0);

    grid->update(gridFrameTime);
    grid->push(5 * 32 + 3, 5 * 32 + 4, 20);
    EXPECT_EQ(point(5, 5).acceleration.length(), 0);
    expectPushesMatch(at.x, at.y, 50);
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
        grid->update(gridFrameTime);
    }
    EXPECT_GT(std::fabs(point(2, 2).position.x - 64), 1.0f); // the interior did move
    for (int frame = 0; frame < 600; ++frame)
        grid->update(gridFrameTime);
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
    grid->update(gridFrameTime);
    const TVector displaced = point(10, 7).position;
    ASSERT_FALSE(displaced.equals(TVector{320, 224}));

    grid->enabled = 0;
    for (int frame = 0; frame < 20; ++frame) {
        grid->push(325, 227, 300);
        grid->pull(325, 227);
        grid->update(gridFrameTime);
    }
    EXPECT_TRUE(point(10, 7).position.equals(displaced));

    grid->enabled = 1; // the springs resume from where the points were frozen
    grid->update(gridFrameTime);
    EXPECT_FALSE(point(10, 7).position.equals(displaced));
}

} // namespace
