#include "platform/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::shared_ptr<TSoundClip> makeClip(std::vector<int16_t> samples, int rate = 44100, int channels = 1,
                                     bool loop = false) {
    auto clip = std::make_shared<TSoundClip>();
    clip->samples = std::move(samples);
    clip->sampleRate = rate;
    clip->channelCount = channels;
    clip->loop = loop;
    return clip;
}

std::vector<int16_t> constantSamples(size_t count, int16_t value) {
    return std::vector<int16_t>(count, value);
}

// Interleaved stereo output of a number of frames.
std::vector<int16_t> mixFrames(TMixer& mixer, size_t frames) {
    std::vector<int16_t> output(frames * 2, 12345);
    mixer.mix(output.data(), frames);
    return output;
}

} // namespace

TEST(Mixer, ClipsPlayScaledByTheirGainMonoOnBothSides) {
    TMixer mixer;
    const int voice = mixer.addVoice();
    mixer.play(voice, makeClip(constantSamples(1000, 1000)), false);
    auto output = mixFrames(mixer, 4);
    EXPECT_EQ(output[0], 1000);
    EXPECT_EQ(output[1], 1000);
    mixer.setGain(voice, 0.5f);
    output = mixFrames(mixer, 4);
    EXPECT_EQ(output[6], 500);
    EXPECT_EQ(output[7], 500);
    mixer.setGain(voice, -3.0f); // nonsense gains silence the voice rather than invert it
    EXPECT_EQ(mixFrames(mixer, 1)[0], 0);

    // A stereo clip keeps its sides.
    mixer.play(voice, makeClip({1000, -2000, 1000, -2000}, 44100, 2), false);
    output = mixFrames(mixer, 1);
    EXPECT_EQ(output[0], 1000);
    EXPECT_EQ(output[1], -2000);
}

TEST(Mixer, ClipsAtOtherRatesAreResampledBetweenSamples) {
    TMixer mixer;
    const int voice = mixer.addVoice();
    // At 22050 Hz each clip sample lasts two output frames; the frames between are interpolated.
    mixer.play(voice, makeClip({0, 100, 200, 300, 400}, 22050), false);
    const auto output = mixFrames(mixer, 6);
    const int expected[] = {0, 50, 100, 150, 200, 250};
    for (int frame = 0; frame < 6; ++frame)
        EXPECT_EQ(output[frame * 2], expected[frame]) << frame;
    EXPECT_DOUBLE_EQ(mixer.position(voice), 3.0);
}

TEST(Mixer, SpeedChangesHowLongAClipLasts) {
    for (float speed : {0.5f, 1.0f, 2.0f}) {
        TMixer mixer;
        const int voice = mixer.addVoice();
        mixer.play(voice, makeClip(constantSamples(1000, 100)), false);
        mixer.setSpeed(voice, speed);
        const auto frames = static_cast<size_t>(1000 / speed);
        mixer.mix(nullptr, frames - 1);
        EXPECT_TRUE(mixer.isPlaying(voice)) << speed;
        mixer.mix(nullptr, 1);
        EXPECT_FALSE(mixer.isPlaying(voice)) << speed;
    }
}

TEST(Mixer, AFinishedClipStopsAndFallsSilent) {
    TMixer mixer;
    const int voice = mixer.addVoice();
    mixer.play(voice, makeClip(constantSamples(10, 700)), false);
    const auto output = mixFrames(mixer, 12);
    EXPECT_EQ(output[18], 700);
    EXPECT_EQ(output[20], 0);
    EXPECT_EQ(output[22], 0);
    EXPECT_FALSE(mixer.isPlaying(voice));
}

TEST(Mixer, ALoopingClipWrapsAroundForEver) {
    TMixer mixer;
    const int voice = mixer.addVoice();
    mixer.play(voice, makeClip({0, 10, 20, 30}, 44100, 1, true), false);
    const auto output = mixFrames(mixer, 10);
    const int expected[] = {0, 10, 20, 30, 0, 10, 20, 30, 0, 10};
    for (int frame = 0; frame < 10; ++frame)
        EXPECT_EQ(output[frame * 2], expected[frame]) << frame;
    mixer.mix(nullptr, 1000003);
    EXPECT_TRUE(mixer.isPlaying(voice));
    EXPECT_DOUBLE_EQ(mixer.position(voice), 1.0);
}

TEST(Mixer, APausedVoiceHoldsItsPlaceAndItsSound) {
    TMixer mixer;
    const int voice = mixer.addVoice();
    mixer.play(voice, makeClip(constantSamples(100, 300)), false);
    mixer.mix(nullptr, 40);
    mixer.setPaused(voice, true);
    EXPECT_EQ(mixFrames(mixer, 200)[0], 0);
    EXPECT_DOUBLE_EQ(mixer.position(voice), 40.0);
    EXPECT_TRUE(mixer.isPlaying(voice));
    mixer.setPaused(voice, false);
    mixer.mix(nullptr, 59);
    EXPECT_TRUE(mixer.isPlaying(voice));
    mixer.mix(nullptr, 1);
    EXPECT_FALSE(mixer.isPlaying(voice));
}

TEST(Mixer, PlayingAgainReplacesTheSoundAndResetsGainAndSpeed) {
    TMixer mixer;
    const int voice = mixer.addVoice();
    mixer.play(voice, makeClip(constantSamples(100, 1000)), false);
    mixer.setGain(voice, 0.25f);
    mixer.setSpeed(voice, 3.0f);
    mixer.mix(nullptr, 10);
    mixer.play(voice, makeClip({2000, 2000}), false);
    EXPECT_DOUBLE_EQ(mixer.position(voice), 0.0);
    const auto output = mixFrames(mixer, 3);
    EXPECT_EQ(output[0], 2000);
    EXPECT_EQ(output[2], 2000);
    EXPECT_EQ(output[4], 0);
    EXPECT_FALSE(mixer.isPlaying(voice));

    mixer.play(voice, nullptr, false);
    EXPECT_FALSE(mixer.isPlaying(voice));
    EXPECT_EQ(mixFrames(mixer, 1)[0], 0);
}

TEST(Mixer, VoicesAddUpAndTheLimiterKeepsTheSumUnderFullScale) {
    for (const bool limited : {false, true}) {
        TMixer mixer;
        mixer.setLimiter(limited);
        const int first = mixer.addVoice();
        const int second = mixer.addVoice();
        mixer.play(first, makeClip({30000, -30000, 100}), false);
        mixer.play(second, makeClip({30000, -30000, 200}), false);
        const auto output = mixFrames(mixer, 3);
        if (!limited) {
            // The plain sum is clipped to 16 bits.
            EXPECT_EQ(output[0], 32767);
            EXPECT_EQ(output[2], -32768);
            EXPECT_EQ(output[4], 300);
            continue;
        }
        // Bent under full scale at once, keeping its sign, and the quiet sample after it held down.
        EXPECT_GT(output[0], 31000);
        EXPECT_LT(output[0], 32767);
        EXPECT_LT(output[2], -31000);
        EXPECT_GT(output[2], -32768);
        EXPECT_GT(output[4], 200);
        EXPECT_LT(output[4], 300);
    }
}

// Two seconds of a square wave at 1.5 times full scale, then quiet: the gain comes down within a few
// milliseconds, stays put between the wave's peaks, and comes back over a few hundred after the end.
TEST(Mixer, TheLimiterFallsFastHoldsThroughAWaveAndRecoversSlowly) {
    TMixer mixer;
    const int loud = mixer.addVoice();
    std::vector<int16_t> square(2 * 44100);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 100) % 2 ? 24000 : -24000; // 220 Hz
    mixer.play(loud, makeClip(square), false);
    mixer.play(mixer.addVoice(), makeClip(square), false);
    const int quiet = mixer.addVoice();
    mixer.play(quiet, makeClip(constantSamples(5 * 44100, 1000)), false);

    const auto start = mixFrames(mixer, 441); // 10 ms
    float steadyGain = mixer.limiterGain();
    EXPECT_LT(steadyGain, 0.7f);
    for (size_t i = 0; i < start.size(); i += 2)
        ASSERT_LT(std::abs(start[i]), 32767) << i;
    // Settled: every peak of the wave comes out alike, just under full scale.
    const auto settled = mixFrames(mixer, 44100);
    int lowest = 32767, highest = 0;
    for (size_t i = 0; i < settled.size(); i += 2) {
        lowest = std::min(lowest, std::abs(settled[i]));
        highest = std::max(highest, std::abs(settled[i]));
    }
    EXPECT_LT(highest, 32767);
    EXPECT_GT(lowest, highest * 95 / 100);
    steadyGain = mixer.limiterGain();

    mixFrames(mixer, 44100 - 441); // the wave runs out
    ASSERT_FALSE(mixer.isPlaying(loud));
    const auto justAfter = mixFrames(mixer, 441);
    EXPECT_LT(mixer.limiterGain(), 0.8f); // still held down 10 ms on
    EXPECT_LT(justAfter.back(), 800);
    mixFrames(mixer, 44100);
    EXPECT_GT(mixer.limiterGain(), 0.99f); // and back after a second
    EXPECT_GE(mixFrames(mixer, 1)[0], 990);
    EXPECT_GT(mixer.limiterGain(), steadyGain);
}

TEST(Mixer, ReleasedVoicesAreReusedAndUnknownOnesIgnored) {
    TMixer mixer;
    const int first = mixer.addVoice();
    const int second = mixer.addVoice();
    mixer.play(first, makeClip(constantSamples(10, 5)), false);
    mixer.releaseVoice(first);
    EXPECT_FALSE(mixer.isPlaying(first));
    EXPECT_EQ(mixer.addVoice(), first);
    EXPECT_NE(first, second);
    mixer.play(99, makeClip({1}), false);
    mixer.setGain(-1, 1);
    EXPECT_FALSE(mixer.isPlaying(99));
}
