// Spreading effects over the channels: the explosion ring, the general pool and its cursor, and the
// full pool.
#include "audio/sound_bank.h"

#include "harness/input_driver.h"
#include "platform/assets.h"
#include "platform/program.h"
#include "platform/random.h"

#include <gtest/gtest.h>

namespace {

class SoundBankTest : public ::testing::Test {
protected:
    void SetUp() override {
        useTestDrivers();
        initPlatform();
        registerEmbeddedAssets();
        seedRandom(7);
        bank = TSoundBank::create();
    }

    int busyPoolChannels() const {
        int busy = 0;
        for (const SoundChannel& channel : bank->pool)
            busy += isChannelPlaying(channel) ? 1 : 0;
        return busy;
    }

    std::shared_ptr<TSoundBank> bank;
};

TEST_F(SoundBankTest, ExplosionsRotateThroughTheirRingOfFive) {
    for (int i = 0; i < 5; ++i)
        bank->play(bank->explosionSound, 1.0f);
    EXPECT_EQ(bank->explosionCursor, 0);
    for (const SoundChannel& channel : bank->explosionPool)
        EXPECT_TRUE(isChannelPlaying(channel));

    // The sixth takes over the first one's channel; the general pool is never touched.
    bank->play(bank->explosionSound, 1.0f);
    EXPECT_EQ(bank->explosionCursor, 1);
    EXPECT_EQ(busyPoolChannels(), 0);
}

TEST_F(SoundBankTest, SameFrameEffectsTakeSeparatePoolChannels) {
    bank->play(bank->fireSound, 0.9f);
    EXPECT_EQ(bank->poolCursor, 0);
    bank->play(bank->fireSound, 0.9f);
    EXPECT_EQ(bank->poolCursor, 1);
    EXPECT_EQ(busyPoolChannels(), 2);
}

TEST_F(SoundBankTest, SilencedEffectsStillHoldTheirChannel) {
    bank->effectsVolume = 0;
    bank->play(bank->menuSound, 1.0f);
    EXPECT_TRUE(isChannelPlaying(bank->pool[0]));
    bank->play(bank->menuSound, 1.0f);
    EXPECT_EQ(bank->poolCursor, 1);
}

TEST_F(SoundBankTest, AFullPoolStillPlaysOnTheChannelUnderTheCursor) {
    for (int i = 0; i < 30; ++i)
        bank->play(bank->entrySound8, 1.0f); // a loop never ends by itself
    ASSERT_EQ(busyPoolChannels(), 30);
    EXPECT_EQ(bank->poolCursor, 29);

    bank->play(bank->fireSound, 1.0f);
    EXPECT_EQ(bank->poolCursor, 29);
    EXPECT_EQ(busyPoolChannels(), 30);

    // A channel that comes free is found from the cursor on, wrapping past the end.
    suspendChannel(bank->pool[3]);
    prepareSound(nullptr, bank->pool[3]);
    bank->play(bank->fireSound, 1.0f);
    EXPECT_EQ(bank->poolCursor, 3);
}

TEST_F(SoundBankTest, AClipThatFailedToLoadPlaysNothing) {
    bank->explosionSound = nullptr;
    bank->play(nullptr, 1.0f);
    EXPECT_EQ(bank->explosionCursor, 0);
    EXPECT_EQ(busyPoolChannels(), 0);
}

} // namespace
