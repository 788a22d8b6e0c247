#include "enemies/enemy_base_kit.h"

#include "platform/random.h"
#include "play/spark.h"

#include <vector>

namespace {

void runSparks(float dt) {
    game->sparks.forEach([&](TSpark& spark) { spark.update(dt); });
}

std::vector<TSpark*> allSparks() {
    std::vector<TSpark*> found;
    game->sparks.forEach([&](TSpark& spark) { found.push_back(&spark); });
    return found;
}

// The direction a burst threw a spark in, in the burst's own terms: (sin a, cos a).
double throwAngle(const TSpark& spark) {
    const TVector& v = spark.particle->velocity;
    double degrees = std::atan2(v.x, v.y) * 180.0 / 3.14159265358979323846;
    return degrees < 0 ? degrees + 360 : degrees;
}

using SparkLife = PlayWorldTest;

TEST_F(SparkLife, ASecondLongSparkIsGoneAfterNineTenthsAtOneTenthOpacity) {
    auto spark = TSpark::create(TVector{100, 100}, 0, 0, 255, 255, 255, 1.0f, 0.95f);
    game->sparks.add(spark);
    EXPECT_TRUE(game->particles.contains(spark->particle.get()));

    for (int i = 0; i < 17; ++i)
        runSparks(0.05f); // 0.85 s
    EXPECT_TRUE(game->sparks.contains(spark.get()));
    EXPECT_NEAR(spark->alpha, 0.15f, 1e-4);

    runSparks(0.06f); // 0.91 s
    EXPECT_FALSE(game->sparks.contains(spark.get()));
    EXPECT_FALSE(game->particles.contains(spark->particle.get()));
    EXPECT_NEAR(spark->alpha, 0.09f, 1e-4);
}

TEST_F(SparkLife, AShortSparkFadesInProportion) {
    auto spark = TSpark::create(TVector{100, 100}, 0, 0, 200, 100, 50, 0.5f, 0.95f);
    game->sparks.add(spark);
    runSparks(0.25f);
    EXPECT_NEAR(spark->alpha, 0.5f, 1e-5);
}

TEST_F(SparkLife, ASparkMadeWithoutLifeEndsAtOnceWithoutAnInfiniteFade) {
    auto spark = TSpark::create(TVector{100, 100}, 0, 0, 200, 100, 50, 0.0f, 0.95f);
    game->sparks.add(spark);
    runSparks(0.01f);
    EXPECT_TRUE(game->sparks.empty());
    EXPECT_TRUE(std::isfinite(spark->alpha));
}

TEST_F(SparkLife, BouncesOffTheArenaWallAndKeepsFading) {
    auto spark = TSpark::create(TVector{1020, 300}, 400, 0, 255, 255, 255, 1.0f, 1.0f);
    game->sparks.add(spark);
    spark->particle->update(0.05f, false);
    spark->particle->confine(0, 1024, 0, 640);
    runSparks(0.05f);
    EXPECT_FLOAT_EQ(spark->particle->position.x, 1024);
    EXPECT_FLOAT_EQ(spark->particle->velocity.x, -400);
    EXPECT_LT(spark->alpha, 1.0f);
}

using Burst = PlayWorldTest;

TEST_F(Burst, TenSparksSpaced35DegreesApartInTheirSpeedRange) {
    seedRandom(1234);
    burst(TVector{300, 300}, 10, 200, 400, 255, 200, 60);
    const auto sparks = allSparks();
    ASSERT_EQ(sparks.size(), 10u);
    for (size_t i = 0; i < sparks.size(); ++i) {
        const TSpark& spark = *sparks[i];
        EXPECT_EQ(spark.red, 255);
        EXPECT_EQ(spark.green, 200);
        EXPECT_EQ(spark.blue, 60);
        EXPECT_FLOAT_EQ(spark.life, 1.0f);
        EXPECT_FLOAT_EQ(spark.particle->damping, 0.95f);
        const float speed = spark.particle->velocity.length();
        EXPECT_GE(speed, 199.99f);
        EXPECT_LT(speed, 400.01f);
        if (i > 0) {
            double gap = throwAngle(spark) - throwAngle(*sparks[i - 1]);
            if (gap < 0) gap += 360;
            EXPECT_NEAR(gap, 35, 1e-2) << i;
        }
    }
}

TEST_F(Burst, RedZeroGivesTheWholeRingOneRandomColourWhateverGreenAndBlueSay) {
    for (int seed : {1, 99, 4242}) {
        game->sparks.clear();
        seedRandom(seed);
        burst(TVector{300, 300}, 30, 200, 1600, 0, 255, 7);
        const auto sparks = allSparks();
        ASSERT_EQ(sparks.size(), 30u);
        const TSpark& first = *sparks.front();
        for (int component : {first.red, first.green, first.blue}) {
            EXPECT_GE(component, 100);
            EXPECT_LE(component, 255);
        }
        for (const TSpark* spark : sparks) {
            EXPECT_EQ(spark->red, first.red);
            EXPECT_EQ(spark->green, first.green);
            EXPECT_EQ(spark->blue, first.blue);
        }
    }
}

} // namespace
