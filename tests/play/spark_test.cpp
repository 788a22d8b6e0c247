#include "enemies/enemy_base_kit.h"

#include "platform/random.h"
#include "play/spark.h"

#include <vector>

namespace {

std::vector<TSpark*> allSparks() {
    std::vector<TSpark*> found;
    game->sparks.forEach([&](TSpark& spark) { found.push_back(&spark); });
    return found;
}

using Spark = PlayWorldTest;

TEST_F(Spark, ASecondLongSparkIsGoneAfterNineTenthsAtOneTenthOpacity) {
    auto spark = TSpark::create(TVector{100, 100}, {},
                                {.red = 255, .green = 255, .blue = 255, .life = 1.0f, .damping = 0.95f});
    EXPECT_TRUE(game->sparks.contains(spark.get()) && game->particles.contains(&spark->particle));
    for (int i = 0; i < 17; ++i)
        spark->update(0.05f); // 0.85 s
    EXPECT_TRUE(game->sparks.contains(spark.get()));
    spark->update(0.06f);
    EXPECT_FALSE(game->sparks.contains(spark.get()));
    EXPECT_FALSE(game->particles.contains(&spark->particle));
    EXPECT_NEAR(spark->alpha, 0.09f, 1e-4);
}

TEST_F(Spark, ABurstOfTenIsSpaced35DegreesApart) {
    seedRandom(1234);
    burst(TVector{300, 300},
          {.count = 10, .minSpeed = 200, .maxSpeed = 400, .red = 255, .green = 200, .blue = 60});
    const auto sparks = allSparks();
    ASSERT_EQ(sparks.size(), 10u);
    for (size_t i = 1; i < sparks.size(); ++i) {
        const TVector& a = sparks[i - 1]->particle.velocity;
        const TVector& b = sparks[i]->particle.velocity;
        // (sin, cos) of the throw angle: the step is the angle between successive directions.
        const double gap = std::atan2(a.y * b.x - a.x * b.y, a.x * b.x + a.y * b.y) * 180 / 3.14159265358979;
        EXPECT_NEAR(gap, 35, 1e-2) << i;
        EXPECT_GE(b.length(), 199.99f);
        EXPECT_LT(b.length(), 400.01f);
        EXPECT_EQ(sparks[i]->green, 200);
    }
}

TEST_F(Spark, RedZeroGivesTheWholeBurstOneRandomColourWhateverGreenAndBlueSay) {
    for (int seed : {1, 99, 4242}) {
        game->sparks.clear();
        seedRandom(seed);
        burst(TVector{300, 300},
              {.count = 30, .minSpeed = 200, .maxSpeed = 1600, .red = 0, .green = 255, .blue = 7});
        const auto sparks = allSparks();
        const TSpark& first = *sparks.front();
        EXPECT_GE(std::min({first.red, first.green, first.blue}), 100);
        for (const TSpark* spark : sparks)
            EXPECT_TRUE(spark->red == first.red && spark->green == first.green && spark->blue == first.blue);
    }
}

} // namespace
