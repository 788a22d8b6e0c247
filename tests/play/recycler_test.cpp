// The recycling allocator behind sparks and particles: blocks handed out again must never overlap a live
// object, however the objects come and go across slabs.
#include "play/recycler.h"

#include "play/particle.h"

#include <gtest/gtest.h>

#include <memory>
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

#ifndef __SANITIZE_ADDRESS__
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
