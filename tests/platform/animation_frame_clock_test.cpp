// The browser's frame loop: sixty game frames a second whatever refresh the display calls back at, no
// burst of frames after the callbacks stopped (a hidden tab) or fell behind (a slow machine).
#include "platform/frame_pacing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct TRun {
    long frames = 0;
    int mostInOneCallback = 0;
    std::vector<int> perCallback;
};

// Callbacks at the display's refresh for that many seconds, each up to jitter ms late (a fixed pattern,
// so a failure repeats), starting at start ms.
TRun run(TAnimationFrameClock& clock, double hertz, double seconds, double jitter = 0, double start = 1000) {
    TRun result;
    const long callbacks = static_cast<long>(seconds * hertz);
    for (long i = 0; i < callbacks; ++i) {
        const double late = jitter * ((i * 7919) % 13) / 12.0;
        const int frames = clock.framesFor(start + i * 1000.0 / hertz + late);
        result.frames += frames;
        result.mostInOneCallback = std::max(result.mostInOneCallback, frames);
        result.perCallback.push_back(frames);
    }
    return result;
}

TEST(AnimationFrameClockTest, SixtyFramesASecondAtEveryCommonRefreshRate) {
    struct TCase {
        double hertz;
        int mostInOneCallback;
    };
    for (const TCase rate : {TCase{60, 1}, TCase{75, 1}, TCase{90, 1}, TCase{120, 1}, TCase{144, 1},
                             TCase{165, 1}, TCase{240, 1}, TCase{50, 2}, TCase{30, 2}}) {
        for (const double jitter : {0.0, 1.5}) {
            TAnimationFrameClock clock;
            const TRun result = run(clock, rate.hertz, 20, jitter);
            EXPECT_NEAR(result.frames, 1200, 2) << rate.hertz << " Hz, jitter " << jitter;
            EXPECT_LE(result.mostInOneCallback, rate.mostInOneCallback) << rate.hertz << " Hz";
        }
    }
}

TEST(AnimationFrameClockTest, At120HertzEverySecondCallbackRunsAFrame) {
    TAnimationFrameClock clock;
    const TRun result = run(clock, 120, 1);
    // The first callback runs one at once; from then on, on and off.
    for (size_t i = 2; i < result.perCallback.size(); ++i)
        EXPECT_NE(result.perCallback[i], result.perCallback[i - 1]) << "callback " << i;
}

TEST(AnimationFrameClockTest, TheFirstCallbackRunsAFrameAtOnce) {
    TAnimationFrameClock clock;
    EXPECT_EQ(clock.framesFor(123456.0), 1);
}

TEST(AnimationFrameClockTest, AHiddenTabComesBackWithOneFrameAndNoBurst) {
    TAnimationFrameClock clock;
    run(clock, 60, 2);
    // Five seconds without callbacks, then the tab is shown again.
    const double back = 1000 + 2000 + 5000;
    EXPECT_EQ(clock.framesFor(back), 1);
    const TRun after = run(clock, 60, 2, 0, back + 1000.0 / 60);
    EXPECT_NEAR(after.frames, 120, 1);
    EXPECT_EQ(after.mostInOneCallback, 1);
}

TEST(AnimationFrameClockTest, ASlowMachineRunsOneFramePerCallbackAndForgetsTheRest) {
    TAnimationFrameClock clock;
    // Callbacks 50 ms apart, as when each frame takes that long to draw: catching up would only make the
    // next callback later still.
    const TRun result = run(clock, 20, 5);
    EXPECT_EQ(result.frames, 100);
    EXPECT_EQ(result.mostInOneCallback, 1);
}

TEST(AnimationFrameClockTest, TimeGoingBackwardsRunsNothingAndBreaksNothing) {
    TAnimationFrameClock clock;
    run(clock, 60, 1);
    EXPECT_EQ(clock.framesFor(500.0), 0);
    const TRun after = run(clock, 60, 2, 0, 500.0 + 1000.0 / 60);
    EXPECT_NEAR(after.frames, 120, 1);
}

} // namespace
