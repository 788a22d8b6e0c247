// The generator's own arithmetic stands in for the C library so that sounds come out identical everywhere; it
// must still be accurate over every range the synthesis feeds it.
#include "synth_dsp.h"
#include "synth_math.h"
#include "synth_wave.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace synth;

TEST(SynthMath, SineMatchesTheLibraryOverManyCycles) {
    // Phases well beyond one cycle and below zero both occur: oscillators and chirps pass raw time in.
    for (double cycles = -40.0; cycles < 40.0; cycles += 0.00731) {
        EXPECT_NEAR(sinCycles(cycles), std::sin(kTwoPi * cycles), 1e-9) << cycles;
        EXPECT_NEAR(cosCycles(cycles), std::cos(kTwoPi * cycles), 1e-9) << cycles;
    }
}

TEST(SynthMath, ExponentialMatchesTheLibraryAcrossItsRange) {
    for (double x = -60.0; x < 60.0; x += 0.0137)
        EXPECT_NEAR(expDet(x) / std::exp(x), 1.0, 1e-12) << x;
    EXPECT_EQ(expDet(-1000.0), 0.0);
    EXPECT_NEAR(noteHz(69.0), 440.0, 1e-9);
    EXPECT_NEAR(noteHz(81.0), 880.0, 1e-9);
}

TEST(SynthMath, DecayReachesOneOverEAfterItsTime) {
    TDecay decay(0.1, 1000.0);
    double value = 0.0;
    for (int i = 0; i <= 100; ++i)
        value = decay.next();
    EXPECT_NEAR(value, std::exp(-1.0), 1e-9);
}

TEST(SynthWave, ClosedLoopCarriesTheRenderAcrossTheSeam) {
    // A ramp rendered past the loop end: after closing, the loop's first sample continues from its last as
    // the render did, and by the end of the overlap the loop is back on its own material.
    TSamples rendered(120);
    for (int i = 0; i < 120; ++i)
        rendered[i] = 0.01 * i;
    const TSamples loop = closeLoop(rendered, 100);
    ASSERT_EQ(loop.size(), 100u);
    EXPECT_NEAR(loop[0], rendered[100], 1e-12);
    EXPECT_NEAR(loop[19], rendered[19], 0.01);
    EXPECT_NEAR(loop[50], rendered[50], 1e-12);
}

TEST(SynthWave, FadedEdgesAreSilentAndTheMiddleUntouched) {
    TSamples samples(1000, 0.5);
    fadeEdges(samples, 50, 200);
    EXPECT_EQ(samples.front(), 0.0);
    EXPECT_EQ(samples.back(), 0.0);
    EXPECT_EQ(samples[500], 0.5);
    for (int i = 1; i < 50; ++i)
        EXPECT_GE(samples[i], samples[i - 1]);
}

} // namespace
