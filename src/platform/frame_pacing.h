// Frame pacing decisions, free of any window system: how long the display really takes per refresh, how
// many refreshes each frame stays on screen, and when the millisecond clock has to do the pacing instead.
//
// The display module drives these with the times it measures around its presents; the tests drive them
// with a simulated display. Times are microseconds of a steady clock unless a name says otherwise.
//
// Two steps:
// 1. TRefreshProbe, during the first frames: presents wait for the vertical blank, and every second one is
//    preceded by a short sleep. On a display that really waits, the presents still come back one refresh
//    apart whatever the sleep; on one that does not, the sleep shows up in the gaps. A steady gap is the
//    measured refresh period, which is checked against the rate the display reports (a wrong report loses).
// 2. TFramePacer, every frame: with a refresh rate it spreads the frames over the refreshes (r / 60 a frame
//    on average, each frame on screen for the whole refreshes either side of it); without one it releases
//    frames by the clock, never catching up on frames lost to a stall.
#pragma once

#include <array>
#include <cstdint>

// What the probe found.
struct TRefreshMeasure {
    bool waits = false;       // the presents waited for a steady refresh
    double measuredHertz = 0; // from the presents' gaps, when they waited
    int refreshHertz = 0;     // the rate to pace by: the reported one when it agrees, else the measured one
};

class TRefreshProbe {
public:
    // reportedHertz 0 when the display does not say; startMicros when the first present is about to go.
    TRefreshProbe(int reportedHertz, int64_t startMicros);

    // How long to sleep before the next present (every second present sleeps).
    int sleepBeforeNextMillis() const;
    // The present has come back at this time.
    void presented(int64_t nowMicros);
    // The next gap is measured from this time rather than from the last present (presents in between,
    // with the game's work, are not the probe's).
    void resumeAt(int64_t nowMicros) { lastMicros_ = nowMicros; }
    // The answer is known: a steady refresh, evidence that presents do not wait, or the time is up.
    bool settled() const { return settled_; }
    const TRefreshMeasure& measure() const { return measure_; }

    static constexpr int ProbeSleepMillis = 2;
    // Refreshes faster than this are taken for presents that did not wait at all.
    static constexpr int64_t ShortestPeriodMicros = 2000;
    // Presents ignored at first: a swap queue takes a few before it has to wait.
    static constexpr int WarmUpPresents = 3;
    static constexpr int WindowPresents = 12;
    // Longer than any swap queue a display would fill before it has to wait; a display that keeps coming
    // back at once for this long is given up on, so that a headless start does not idle for a second.
    static constexpr int ImmediatePresentsToGiveUp = 30;
    // Windows in a row in which the sleep visibly lengthened the gaps.
    static constexpr int SleepShowsToGiveUp = 12;
    static constexpr int64_t MeasureMicros = 1000000;

private:
    void judgeWindow();

    int reportedHertz_;
    int64_t startMicros_;
    int64_t lastMicros_;
    int presents_ = 0;
    int immediateInARow_ = 0;
    int sleepShowsInARow_ = 0;
    // The latest gaps and whether a sleep came before each, as a ring.
    std::array<int64_t, WindowPresents> gaps_{};
    std::array<bool, WindowPresents> slept_{};
    int gapCount_ = 0;
    bool settled_ = false;
    TRefreshMeasure measure_;
};

enum class PacingMode { Unpaced, VerticalBlank, Clock };

class TFramePacer {
public:
    // frameHertz 0 leaves frames unpaced. With a measure that waits at a rate the frames can be spread
    // over, frames go out on vertical blanks; otherwise the clock paces them.
    void start(int frameHertz, const TRefreshMeasure& refresh);
    PacingMode mode() const { return mode_; }
    int refreshHertz() const { return refreshHertz_; }

    // Vertical-blank pacing: the refreshes the next frame stays on screen for. The running sum keeps the
    // average at refreshHertz / frameHertz, so 144 Hz gives 2, 2, 3, 2, 3 ... and 120 Hz always 2.
    int nextFrameRefreshes();
    // Vertical-blank pacing: the frame is on screen at nowMicros. A frame that comes back in well under
    // half of its refreshes means the wait has stopped working (an unmapped window, a driver that quietly
    // ignores the interval); the answer is how long to sleep so that frames still come at about the rate.
    int64_t frameShown(int64_t nowMicros, int refreshes);

    // Clock pacing: how long to sleep before presenting, given the milliseconds since start. One frame
    // every 1000 / frameHertz ms on average; a frame that is late (or absurdly early) starts the schedule
    // again from now, so lost frames are never made up in a burst.
    int clockWaitMillis(int sinceStartMillis);

private:
    PacingMode mode_ = PacingMode::Unpaced;
    int frameHertz_ = 0;
    int refreshHertz_ = 0;
    int refreshRemainder_ = 0;
    int64_t lastShownMicros_ = -1;
    int64_t tickAccumulator_ = 0;
};

// A browser calls the program back on each refresh of the display, with the refresh's time, and never
// lets it wait: the frames have to be spread over the callbacks instead. Sixty frames a second whatever
// the refresh rate: at 120 Hz every second callback runs one, at 144 Hz five in twelve; a display slower
// than 60 Hz (50, 30) gets a second frame in some callbacks. A gap of more than two frames (a slow machine,
// a stall) runs one frame and forgets the rest; a long one (a hidden tab, which gets no callbacks) runs
// one frame as if nothing had been missed. Lost frames are never made up in a burst.
class TAnimationFrameClock {
public:
    static constexpr double FrameMillis = 1000.0 / 60.0;
    // Refresh times jitter: a callback this much before a frame is due still runs it.
    static constexpr double EarlyMillis = 2.0;
    static constexpr double LongestGapMillis = 250.0;

    // How many frames to run in the callback at nowMillis (the time the browser gives it).
    int framesFor(double nowMillis);

private:
    bool started_ = false;
    double lastMillis_ = 0;
    double owedMillis_ = 0;
};
