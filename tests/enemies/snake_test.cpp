#include "enemies/enemy_kinds_kit.h"
#include "enemies/snake.h"

namespace {

class Snake : public EnemyKindTest {
protected:
    static std::shared_ptr<TSnake> spawnHead() { return TSnake::create(100, 100, 1, 0.01f, 1.0f, nullptr); }
    static std::vector<TSnake*> snakeParts() { return enemiesOfKind<TSnake>(EnemyKind::Snake); }
};

TEST_F(Snake, TheListHoldsSixteenSegmentsInTailOrderAndThenTheHead) {
    auto head = spawnHead();
    const auto parts = snakeParts();
    ASSERT_EQ(parts.size(), 17u);
    EXPECT_EQ(parts[16], head.get());
    EXPECT_EQ(game->snakeCount, 1);
    const float scales[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f};
    for (size_t i = 0; i < 16; ++i) {
        const TEnemy* leader = i == 0 ? static_cast<TEnemy*>(head.get()) : parts[i - 1];
        EXPECT_EQ(parts[i]->leader.get(), leader) << i;
        EXPECT_NEAR(parts[i]->radius, 16 * scales[i], 1e-4) << i;
        EXPECT_NEAR(parts[i]->delay, 0.01f + 0.008f * static_cast<float>(i), 1e-5) << i;
    }
}

TEST_F(Snake, AtTheLimitNoSnakeAppearsAtAll) {
    game->snakeLimit = 2;
    game->snakeCount = 2;
    const size_t particlesBefore = game->particles.size();
    EXPECT_EQ(spawnHead(), nullptr);
    EXPECT_TRUE(game->enemies.empty());
    EXPECT_EQ(game->particles.size(), particlesBefore);
    EXPECT_EQ(game->snakeCount, 2);
}

TEST_F(Snake, WhenTheHeadDiesTheSegmentsPopInTailOrderEightThousandthsApart) {
    auto head = spawnHead();
    stepWorld(20, 0.02f); // through the entry
    const auto parts = snakeParts();
    head->hit(true, 0.001f);
    const size_t sparksBefore = game->sparks.size();

    stepWorld(1, 0.001f); // the first pass after the hit carries the whole tail into dying
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(parts[i]->state, EnemyState::Dying) << i;

    std::vector<float> poppedAt(16, -1);
    for (int frame = 1; frame <= 300; ++frame) {
        stepWorld(1, 0.001f);
        for (size_t i = 0; i < 16; ++i)
            if (poppedAt[i] < 0 && !game->enemies.contains(parts[i]))
                poppedAt[i] = 0.001f * static_cast<float>(frame);
    }
    for (size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(poppedAt[i], 0.01f + 0.008f * static_cast<float>(i), 0.0015f) << i;
    EXPECT_EQ(game->sparks.size() - sparksBefore, 16u * 5u); // five sparks a pop
}

} // namespace
