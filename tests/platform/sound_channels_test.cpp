#include "harness/input_driver.h"
#include "platform/mixer.h"
#include "platform/program.h"
#include "platform/sound.h"

#include <gtest/gtest.h>

namespace {

SoundClip makeTone(double seconds, bool loop = false) {
    auto clip = std::make_shared<TSoundClip>();
    clip->sampleRate = 22050;
    clip->samples.assign(static_cast<size_t>(seconds * clip->sampleRate), 1000);
    clip->loop = loop;
    return clip;
}

// Waits until the channel stops or the time runs out; the mixing runs in real time.
bool stopsWithin(const SoundChannel& channel, int millis) {
    const int start = elapsedMillis();
    while (elapsedMillis() - start < millis) {
        if (!isChannelPlaying(channel)) return true;
        sleepMillis(5);
    }
    return !isChannelPlaying(channel);
}

// Channels behave the same with a sound device (the dummy driver mixes in real time) and without one.
class SoundChannelTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            useTestDrivers();
            ASSERT_TRUE(initPlatform());
        }
    }
};

TEST_P(SoundChannelTest, ASoundPlaysUntilItsEnd) {
    const SoundChannel channel = startSound(makeTone(0.05), nullptr);
    ASSERT_TRUE(channel);
    EXPECT_EQ(isChannelPlaying(channel), 1);
    EXPECT_TRUE(stopsWithin(channel, 2000));
}

TEST_P(SoundChannelTest, APreparedSoundWaitsForContinue) {
    const SoundChannel channel = prepareSound(makeTone(0.05), allocateChannel());
    sleepMillis(150);
    EXPECT_EQ(isChannelPlaying(channel), 0); // waiting counts as idle, so the effects pool may reuse it
    continueChannel(channel);
    EXPECT_EQ(isChannelPlaying(channel), 1); // and the clip was kept: it plays from where it waited
    EXPECT_TRUE(stopsWithin(channel, 2000));
}

TEST_P(SoundChannelTest, StartingOnAChannelReplacesItsSound) {
    const SoundChannel channel = allocateChannel();
    EXPECT_EQ(isChannelPlaying(channel), 0);
    EXPECT_EQ(startSound(makeTone(10, true), channel), channel);
    suspendChannel(channel);
    setChannelGain(channel, 0.2f);
    setChannelSpeed(channel, 1.5f);
    EXPECT_EQ(startSound(makeTone(0.05), channel), channel); // not paused: the start begins afresh
    EXPECT_TRUE(stopsWithin(channel, 2000));
    startSound(nullptr, channel);
    EXPECT_EQ(isChannelPlaying(channel), 0);
}

TEST_P(SoundChannelTest, NullChannelsAreHarmless) {
    const SoundChannel none;
    setChannelGain(none, 1);
    setChannelSpeed(none, 1);
    suspendChannel(none);
    continueChannel(none);
    EXPECT_EQ(isChannelPlaying(none), 0);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutDevice, SoundChannelTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "DummyDevice" : "NoDevice";
                         });

} // namespace
