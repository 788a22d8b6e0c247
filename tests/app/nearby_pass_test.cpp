// The world passes with their nearby indexes against the same passes walking whole lists: a crowded arena
// of every enemy kind, sucking wells, a stream of shots and bursts of sparks, played frame by frame both
// ways from the same seed. Every frame's state must hash alike, down to the last bit of every float.
#include "app/state_hash.h"
#include "enemies/chaser.h"
#include "enemies/dasher.h"
#include "enemies/dodger.h"
#include "enemies/gravity_well.h"
#include "enemies/level_director.h"
#include "enemies/snake.h"
#include "enemies/spawn_pattern.h"
#include "enemies/splitter.h"
#include "enemies/swarmer.h"
#include "enemies/wanderer.h"
#include "harness/game_fixture.h"
#include "platform/random.h"
#include "play/particle.h"
#include "play/player.h"
#include "play/shot.h"
#include "play/spark.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr float frameDt = 1.0f / 64;
constexpr int frames = 240;

struct TPlayed {
    std::vector<std::vector<TStateHash>> hashes; // frame by frame
    int shotsHit = 0;
    int wellFramesSucking = 0; // sucking wells, summed over the frames
};

class NearbyPass : public GameTest {
protected:
    TPlayed play(bool indexed, uint32_t seed) {
        delete game;
        seedRandom(seed); // the backdrop's stars are drawn at creation
        createGame();
        startPlaying();
        seedRandom(seed);
        game->useNearbyIndexes = indexed;
        for (const auto& pattern : game->levelDirector->patterns)
            pattern->waitTime = 1.0e9f; // only the crowd below
        std::mt19937 random(seed);
        const auto real = [&](float low, float high) {
            return std::uniform_real_distribution<float>(low, high)(random);
        };
        const float left = game->arenaLeft(), top = game->arenaTop();
        const auto anywhere = [&] { return TVector{left + real(0, 1024), top + real(0, 640)}; };
        for (int i = 0; i < 40; ++i) {
            const TVector a = anywhere(), b = anywhere(), c = anywhere(), d = anywhere(), e = anywhere(),
                          f = anywhere();
            TWanderer::create(a.x, a.y);
            TChaser::create(b.x, b.y);
            TSplitter::create(c.x, c.y);
            TSwarmer::create(d.x, d.y);
            TDodger::create(e.x, e.y);
            if (i % 4 == 0) TDasher::create(f.x, f.y);
        }
        // A tight cluster, so that separation has pairs to push apart.
        for (int i = 0; i < 30; ++i)
            TChaser::create(left + 500 + real(0, 40), top + 300 + real(0, 40));
        for (int i = 0; i < 8; ++i) {
            const TVector at = anywhere();
            TGravityWell::create(at.x, at.y)->state = TGravityWell::Sucking;
        }
        TSnake::create(left + 200, top + 200, 1, 0.01f, 1.0f, nullptr);
        TPlayed played;
        TPlayer& craft = *game->player;
        for (int frame = 0; frame < frames; ++frame) {
            craft.shieldOn = 1;
            craft.shieldTime = 100;
            for (int i = 0; i < 6; ++i) {
                const float angle = real(0, 6.2831853f);
                TShot::create(anywhere(), TVector{500 * std::cos(angle), 500 * std::sin(angle)});
            }
            if (frame % 4 == 0) burst(anywhere(), {.count = 30, .minSpeed = 100, .maxSpeed = 300});
            game->updateWorld(frameDt);
            played.hashes.push_back(hashGameState(*game));
            game->enemies.forEach([&](TEnemy& enemy) {
                if (enemy.kind() == EnemyKind::GravityWell && enemy.state == TGravityWell::Sucking)
                    ++played.wellFramesSucking;
            });
        }
        played.shotsHit = craft.stats.shotsHit;
        return played;
    }
};

TEST_F(NearbyPass, EveryFrameHashesAsTheWholeListWalksDo) {
    for (const uint32_t seed : {11u, 4242u}) {
        const TPlayed walked = play(false, seed);
        const TPlayed indexed = play(true, seed);
        ASSERT_EQ(indexed.hashes.size(), walked.hashes.size());
        for (size_t frame = 0; frame < walked.hashes.size(); ++frame)
            ASSERT_EQ(indexed.hashes[frame], walked.hashes[frame]) << "seed " << seed << " frame " << frame;
        // The crowd really met: shots struck, and wells pulled for a good part of the run.
        EXPECT_GT(walked.shotsHit, 50) << "seed " << seed;
        EXPECT_GT(walked.wellFramesSucking, frames) << "seed " << seed;
    }
}

} // namespace
