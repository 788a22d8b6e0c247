// The allocators behind sparks, particles, enemies and outlines: blocks handed out again must never overlap
// a live object, however the objects come and go across slabs and chunks; sparks lie in the order they
// are made.
#include "play/recycler.h"

#include "play/particle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

std::shared_ptr<TParticle> makeParticle(int id) {
    auto particle = std::allocate_shared<TParticle>(TRecycler<TParticle>{});
    particle->position.set(static_cast<float>(id), static_cast<float>(-id));
    particle->velocity.set(static_cast<float>(id * 3), 0);
    return particle;
}

bool holds(const TParticle& particle, int id) {
    return particle.position.x == static_cast<float>(id) && particle.position.y == static_cast<float>(-id) &&
           particle.velocity.x == static_cast<float>(id * 3);
}

TEST(Recycler, LiveObjectsKeepTheirContentsWhileOthersComeAndGoAcrossSlabs) {
    // Several slabs' worth, then every third one freed and replaced, twice over: reused blocks must not
    // land on anything still alive.
    std::vector<std::shared_ptr<TParticle>> live;
    for (int id = 0; id < 1000; ++id)
        live.push_back(makeParticle(id));
    for (int round = 0; round < 2; ++round) {
        for (size_t k = round; k < live.size(); k += 3)
            live[k].reset();
        for (size_t k = round; k < live.size(); k += 3)
            live[k] = makeParticle(static_cast<int>(k) + 5000 * (round + 1));
    }
    for (size_t k = 0; k < live.size(); ++k) {
        int id = static_cast<int>(k);
        if (k % 3 == 0) id = static_cast<int>(k) + 5000;  // replaced in round 0
        if (k % 3 == 1) id = static_cast<int>(k) + 10000; // replaced in round 1
        ASSERT_TRUE(holds(*live[k], id)) << "entry " << k;
    }
}

// Sparks come in bursts and mostly end in the order they were made, a few living longer; arrays of lines
// come and go with the enemies. Every live object must keep what it was given, and the sparks of a run must
// mostly lie one after the other in memory, which is the point of their store.
TEST(ArrivalPool, LiveObjectsKeepTheirContentsAndLieInTheOrderTheyWereMade) {
    std::mt19937 random(2026);
    struct TLive {
        std::shared_ptr<TParticle> spark;
        int id;
    };
    std::vector<TLive> sparks;
    std::vector<std::vector<int, TRecycler<int>>> arrays;
    int made = 0, ascending = 0;
    const TParticle* previous = nullptr;
    for (int step = 0; step < 60000; ++step) {
        if (random() % 3 != 0 || sparks.empty()) {
            const int id = made++;
            auto spark = std::allocate_shared<TParticle>(TInArrivalOrder<TParticle>{}, float(id), float(-id),
                                                         1.0f, 1.0f);
            ascending += previous && spark.get() > previous;
            previous = spark.get();
            sparks.push_back({std::move(spark), id});
        } else {
            // The oldest most of the time, anything now and then.
            const size_t end = random() % 8 == 0 ? random() % sparks.size() : 0;
            sparks.erase(sparks.begin() + static_cast<long>(end));
        }
        if (random() % 50 == 0) arrays.emplace_back(random() % 300, static_cast<int>(step));
        if (random() % 60 == 0 && !arrays.empty()) arrays.erase(arrays.begin() + random() % arrays.size());
        if (step % 5000 != 0) continue;
        for (const TLive& live : sparks)
            ASSERT_TRUE(live.spark->position.equals(TVector{float(live.id), float(-live.id)})) << live.id;
        for (const auto& array : arrays)
            ASSERT_TRUE(std::all_of(array.begin(), array.end(), [&](int v) { return v == array.front(); }));
    }
#ifndef __SANITIZE_ADDRESS__
    EXPECT_GT(ascending, made * 99 / 100);
#endif
}

#ifndef __SANITIZE_ADDRESS__
TEST(ArrivalPool, AChunkIsFilledAgainOnlyOnceAllItsObjectsHaveEnded) {
    const auto made = [] { return std::allocate_shared<TParticle>(TInArrivalOrder<TParticle>{}); };
    const auto chunkOf = [](const TParticle* particle) {
        return reinterpret_cast<uintptr_t>(particle) / arrivalChunkBytes;
    };
    std::vector<std::shared_ptr<TParticle>> first;
    for (int i = 0; i < 3000; ++i) // a few chunks' worth
        first.push_back(made());
    std::shared_ptr<TParticle> survivor = first[10];
    first.clear();
    // One object left keeps its whole chunk out of use, however much is made meanwhile.
    std::vector<std::shared_ptr<TParticle>> second;
    for (int i = 0; i < 6000; ++i)
        second.push_back(made());
    for (const auto& particle : second)
        ASSERT_NE(chunkOf(particle.get()), chunkOf(survivor.get()));
    // Once it has ended too, its chunk is filled again rather than new memory taken.
    const uintptr_t survivorChunk = chunkOf(survivor.get());
    second.clear();
    survivor.reset();
    bool reused = false;
    for (int i = 0; i < 6000; ++i)
        reused = reused || chunkOf(second.emplace_back(made()).get()) == survivorChunk;
    EXPECT_TRUE(reused);
}

TEST(Recycler, AFreedBlockIsHandedOutAgainInsteadOfNewMemory) {
    auto first = makeParticle(1);
    const TParticle* where = first.get();
    first.reset();
    auto second = makeParticle(2);
    EXPECT_EQ(second.get(), where);
    EXPECT_TRUE(holds(*second, 2));
}
#endif

} // namespace
