// The pacing decisions against a simulated display: its own refresh, a rate it reports (right or wrong),
// a present that costs time, and a wait for the vertical blank that it honours or ignores.
#include "platform/frame_pacing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <numeric>
#include <string>
#include <vector>

namespace {

struct TSimulatedDisplay {
    double refreshHertz = 60;
    int reportedHertz = 60;
    bool waits = true;           // the driver honours the swap interval
    int64_t presentMicros = 300; // the blit and swap before any waiting
    int64_t jitterMicros = 0;    // how late a present may come back after its vertical blank
    int64_t now = 5000000;
    int64_t lastSwapRefresh = -1000; // the refresh the previous picture went up on
    unsigned noise = 1;

    double periodMicros() const { return 1e6 / refreshHertz; }
    void sleep(int64_t micros) { now += micros; }

    // Presents with the given swap interval and returns when the call comes back.
    int64_t present(int interval) {
        now += presentMicros;
        if (waits && interval > 0) {
            auto refresh = static_cast<int64_t>(std::ceil(now / periodMicros()));
            refresh = std::max(refresh, lastSwapRefresh + interval);
            lastSwapRefresh = refresh;
            now = static_cast<int64_t>(refresh * periodMicros());
            if (jitterMicros > 0) {
                noise = noise * 1103515245u + 12345u;
                now += (noise >> 8) % jitterMicros;
            }
        }
        return now;
    }
};

struct TProbeRun {
    TRefreshMeasure measure;
    int presents = 0;
    int64_t micros = 0;
};

TProbeRun probe(TSimulatedDisplay& display) {
    TRefreshProbe probe(display.reportedHertz, display.now);
    const int64_t start = display.now;
    TProbeRun run;
    while (!probe.settled() && run.presents < 10000) {
        display.sleep(probe.sleepBeforeNextMillis() * 1000);
        probe.presented(display.present(1));
        ++run.presents;
    }
    run.measure = probe.measure();
    run.micros = display.now - start;
    return run;
}

// Runs frames the way the display module does and returns how many refreshes each was on screen for.
std::vector<int> runFrames(TFramePacer& pacer, TSimulatedDisplay& display, int frames,
                           int64_t gameMicros = 2000) {
    std::vector<int> refreshesShown;
    int64_t lastUp = -1;
    int64_t lastRefresh = display.lastSwapRefresh;
    for (int i = 0; i < frames; ++i) {
        display.sleep(gameMicros);
        const int refreshes = pacer.nextFrameRefreshes();
        const int64_t up = display.present(refreshes);
        display.sleep(pacer.frameShown(up, refreshes));
        if (lastUp >= 0) refreshesShown.push_back(static_cast<int>(display.lastSwapRefresh - lastRefresh));
        lastUp = up;
        lastRefresh = display.lastSwapRefresh;
    }
    return refreshesShown;
}

// --- The probe -----------------------------------------------------------------------------------------

TEST(RefreshProbe, ADisplayThatWaitsIsMeasuredAtItsOwnRateAtEveryCommonRefresh) {
    for (int hertz : {60, 75, 100, 120, 144, 165, 180, 240}) {
        TSimulatedDisplay display;
        display.refreshHertz = hertz;
        display.reportedHertz = hertz;
        display.jitterMicros = 150;
        const TProbeRun run = probe(display);
        EXPECT_TRUE(run.measure.waits) << hertz << " Hz";
        EXPECT_EQ(run.measure.refreshHertz, hertz) << hertz << " Hz";
        EXPECT_NEAR(run.measure.measuredHertz, hertz, hertz * 0.03) << hertz << " Hz";
        // A dozen refreshes and the warm-up, not the whole second.
        EXPECT_LT(run.micros, 400000) << hertz << " Hz";
    }
}

TEST(RefreshProbe, AReportedRateIsTakenOnlyWhenTheMeasurementAgreesWithIt) {
    struct TCase {
        double actual;
        int reported;
        int paced;
    };
    const TCase cases[] = {
        {59.94, 60, 60}, // the report is exact where the measurement is not
        {144, 60, 144},  // a display that claims 60 Hz but refreshes at 144
        {60, 144, 60},   // ... and one that claims more than it does
        {120, 0, 120},   // a display that reports nothing
        {74.97, 0, 75},
    };
    for (const TCase& c : cases) {
        TSimulatedDisplay display;
        display.refreshHertz = c.actual;
        display.reportedHertz = c.reported;
        const TProbeRun run = probe(display);
        ASSERT_TRUE(run.measure.waits) << c.actual << " Hz reported as " << c.reported;
        EXPECT_EQ(run.measure.refreshHertz, c.paced) << c.actual << " Hz reported as " << c.reported;
    }
}

TEST(RefreshProbe, PresentsThatNeverWaitAreGivenUpOnLongBeforeTheSecondIsOut) {
    // Back at once (a headless display), and slow but steady (a software renderer whose presents take as
    // long as a 200 Hz refresh would): the sleep before every second present gives the second one away.
    for (int64_t cost : {100, 5000, 16000}) {
        TSimulatedDisplay display;
        display.waits = false;
        display.presentMicros = cost;
        const TProbeRun run = probe(display);
        EXPECT_FALSE(run.measure.waits) << cost << " us a present";
        EXPECT_LE(run.presents, TRefreshProbe::ImmediatePresentsToGiveUp + 1) << cost << " us a present";
        EXPECT_LT(run.micros, 600000) << cost << " us a present";
    }
}

// The way the presentation measures during the first frames: each frame (with the game's work before it)
// is presented, then the same picture once more, and only the gap between the two counts. However long
// the frames take, the answer is the display's own.
TEST(RefreshProbe, MeasuringBetweenGameFramesFindsTheSameAnswerWhateverTheFramesCost) {
    struct TCase {
        bool waits;
        double hertz;
        int64_t gameMicros;
    };
    const TCase cases[] = {{true, 60, 2000},   {true, 60, 25000}, {true, 144, 9000},
                           {true, 120, 40000}, {false, 60, 3000}, {false, 60, 30000}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.hertz) + " Hz, " + (c.waits ? "waiting" : "not waiting") +
                     ", frames of " + std::to_string(c.gameMicros) + " us");
        TSimulatedDisplay display;
        display.waits = c.waits;
        display.refreshHertz = c.hertz;
        display.reportedHertz = static_cast<int>(c.hertz);
        TRefreshProbe probe(display.reportedHertz, display.now);
        const int64_t start = display.now;
        int frames = 0;
        while (!probe.settled() && frames < 1000) {
            display.sleep(c.gameMicros);
            probe.resumeAt(display.present(1));
            display.sleep(probe.sleepBeforeNextMillis() * 1000);
            probe.presented(display.present(1));
            ++frames;
        }
        EXPECT_EQ(probe.measure().waits, c.waits);
        if (c.waits) {
            EXPECT_EQ(probe.measure().refreshHertz, static_cast<int>(c.hertz));
        }
        EXPECT_LE(display.now - start, TRefreshProbe::MeasureMicros + c.gameMicros + 100000);
    }
}

TEST(RefreshProbe, ADisplayThatNeverSettlesIsGivenUpAfterASecond) {
    TSimulatedDisplay display;
    display.jitterMicros = 9000; // presents come back anywhere in the next half refresh
    const TProbeRun run = probe(display);
    EXPECT_FALSE(run.measure.waits);
    EXPECT_GE(run.micros, TRefreshProbe::MeasureMicros);
    EXPECT_LT(run.micros, TRefreshProbe::MeasureMicros + 100000);
}

// --- Frames on vertical blanks -------------------------------------------------------------------------

TEST(FramePacer, MultiplesOfSixtyHoldEveryFrameForTheSameNumberOfRefreshes) {
    for (int hertz : {60, 120, 180, 240}) {
        TSimulatedDisplay display;
        display.refreshHertz = hertz;
        display.reportedHertz = hertz;
        TFramePacer pacer;
        pacer.start(60, probe(display).measure);
        ASSERT_EQ(pacer.mode(), PacingMode::VerticalBlank) << hertz << " Hz";
        const std::vector<int> shown = runFrames(pacer, display, 120);
        for (int refreshes : shown)
            ASSERT_EQ(refreshes, hertz / 60) << hertz << " Hz";
    }
}

TEST(FramePacer, OtherRatesMixTheTwoNearestCountsToSixtyFramesASecond) {
    for (int hertz : {72, 75, 90, 100, 144, 165, 200}) {
        TSimulatedDisplay display;
        display.refreshHertz = hertz;
        display.reportedHertz = hertz;
        TFramePacer pacer;
        pacer.start(60, probe(display).measure);
        ASSERT_EQ(pacer.mode(), PacingMode::VerticalBlank) << hertz << " Hz";
        const int64_t start = display.now;
        const std::vector<int> shown = runFrames(pacer, display, 601);
        std::map<int, int> counts;
        for (int refreshes : shown)
            ++counts[refreshes];
        // Only floor(r / 60) and ceil(r / 60), so no frame lingers or flashes by.
        for (const auto& [refreshes, frames] : counts) {
            EXPECT_GE(refreshes, hertz / 60) << hertz << " Hz";
            EXPECT_LE(refreshes, (hertz + 59) / 60) << hertz << " Hz";
        }
        // Exactly r refreshes for every 60 frames, so the average is sixty a second.
        const int total = std::accumulate(shown.begin(), shown.end(), 0);
        EXPECT_EQ(total, hertz * 10) << hertz << " Hz";
        EXPECT_NEAR(static_cast<double>(display.now - start) / 1e6, 10.0, 0.05) << hertz << " Hz";
    }
}

TEST(FramePacer, ALateFrameIsNotMadeUpWithABurst) {
    TSimulatedDisplay display;
    display.refreshHertz = 144;
    display.reportedHertz = 144;
    TFramePacer pacer;
    pacer.start(60, probe(display).measure);
    runFrames(pacer, display, 30);
    display.sleep(200000); // a stall of a fifth of a second
    const std::vector<int> after = runFrames(pacer, display, 30);
    for (int refreshes : after)
        EXPECT_GE(refreshes, 2);
}

TEST(FramePacer, AWaitThatStopsWorkingIsCoveredByTheClock) {
    TSimulatedDisplay display;
    display.refreshHertz = 120;
    display.reportedHertz = 120;
    TFramePacer pacer;
    pacer.start(60, probe(display).measure);
    ASSERT_EQ(pacer.mode(), PacingMode::VerticalBlank);
    runFrames(pacer, display, 10);
    display.waits = false; // the window went somewhere the driver no longer waits for
    const int64_t start = display.now;
    runFrames(pacer, display, 61);
    EXPECT_NEAR(static_cast<double>(display.now - start) / 1e6, 61.0 / 60, 0.05);
}

// --- The clock instead -------------------------------------------------------------------------------

TEST(FramePacer, WithoutAWaitOrBelowSixtyHertzTheClockPaces) {
    TFramePacer refused;
    refused.start(60, TRefreshMeasure{}); // the driver refused the wait, or the presents never waited
    EXPECT_EQ(refused.mode(), PacingMode::Clock);

    TSimulatedDisplay fifty;
    fifty.refreshHertz = 50;
    fifty.reportedHertz = 50;
    const TRefreshMeasure measure = probe(fifty).measure;
    ASSERT_TRUE(measure.waits);
    TFramePacer slow;
    slow.start(60, measure);
    EXPECT_EQ(slow.mode(), PacingMode::Clock);

    TFramePacer unpaced;
    unpaced.start(0, measure);
    EXPECT_EQ(unpaced.mode(), PacingMode::Unpaced);
    EXPECT_EQ(unpaced.clockWaitMillis(5), 0);
}

TEST(FramePacer, TheClockReleasesSixtyFramesASecondAndStartsAfreshAfterAStall) {
    TFramePacer pacer;
    pacer.start(60, TRefreshMeasure{});
    int now = 0;
    for (int frame = 0; frame < 60; ++frame) {
        now += 2; // drawing
        now += pacer.clockWaitMillis(now);
    }
    EXPECT_GE(now, 998);
    EXPECT_LE(now, 1002);
    now += 300; // a stall
    EXPECT_EQ(pacer.clockWaitMillis(now), 0);
    // From here on a full frame apart again, not a run of zero waits to catch up.
    now += 2;
    const int wait = pacer.clockWaitMillis(now);
    EXPECT_GE(wait, 14);
    EXPECT_LE(wait, 17);
}

} // namespace
