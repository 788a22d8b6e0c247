#include "platform/frame_pacing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A rate the display reports is taken when the measured one is within this of it: the report is exact
// (a measurement over a dozen refreshes is not), but a display that reports a wrong rate must not set the
// pace.
constexpr double ReportAgreesWithin = 0.05;
// Slower refreshes than this cannot be a display that waits (they are a present that is simply slow).
constexpr int64_t LongestPeriodMicros = 50000;
// Below this share of the frame rate a display cannot show every frame on a refresh of its own.
constexpr int LowestRefreshPercent = 95;

} // namespace

// --- Refresh probe -------------------------------------------------------------------------------------

TRefreshProbe::TRefreshProbe(int reportedHertz, int64_t startMicros)
    : reportedHertz_(reportedHertz), startMicros_(startMicros), lastMicros_(startMicros) {}

int TRefreshProbe::sleepBeforeNextMillis() const {
    return presents_ % 2 == 1 ? ProbeSleepMillis : 0;
}

void TRefreshProbe::presented(int64_t nowMicros) {
    if (settled_) return;
    const bool sleptBefore = presents_ % 2 == 1;
    const int64_t gap = nowMicros - lastMicros_;
    lastMicros_ = nowMicros;
    ++presents_;

    immediateInARow_ = gap < ShortestPeriodMicros ? immediateInARow_ + 1 : 0;
    if (immediateInARow_ == ImmediatePresentsToGiveUp) {
        settled_ = true;
        return;
    }
    if (presents_ > WarmUpPresents) {
        const int at = gapCount_ % WindowPresents;
        gaps_[at] = gap;
        slept_[at] = sleptBefore;
        ++gapCount_;
        if (gapCount_ >= WindowPresents) judgeWindow();
    }
    if (!settled_ && nowMicros - startMicros_ >= MeasureMicros) settled_ = true;
}

void TRefreshProbe::judgeWindow() {
    std::array<int64_t, WindowPresents> sorted = gaps_;
    std::sort(sorted.begin(), sorted.end());
    const int64_t median = sorted[WindowPresents / 2];
    const int64_t tolerance = std::max<int64_t>(250, median * 3 / 100);
    int64_t total = 0, sleptTotal = 0, unsleptTotal = 0;
    int sleptCount = 0;
    bool steady = true;
    for (int i = 0; i < WindowPresents; ++i) {
        steady = steady && std::llabs(gaps_[i] - median) <= tolerance;
        total += gaps_[i];
        if (slept_[i]) {
            sleptTotal += gaps_[i];
            ++sleptCount;
        } else {
            unsleptTotal += gaps_[i];
        }
    }
    const int unsleptCount = WindowPresents - sleptCount;
    const double sleepShows = static_cast<double>(sleptTotal) / std::max(sleptCount, 1) -
                              static_cast<double>(unsleptTotal) / std::max(unsleptCount, 1);
    const bool sleepHidden = sleepShows < ProbeSleepMillis * 1000 / 2;
    if (steady && sleepHidden && median >= ShortestPeriodMicros && median <= LongestPeriodMicros) {
        measure_.waits = true;
        measure_.measuredHertz = 1e6 * WindowPresents / static_cast<double>(total);
        const bool reportAgrees = reportedHertz_ > 0 && std::abs(measure_.measuredHertz - reportedHertz_) <=
                                                            ReportAgreesWithin * reportedHertz_;
        measure_.refreshHertz =
            reportAgrees ? reportedHertz_ : static_cast<int>(std::lround(measure_.measuredHertz));
        settled_ = true;
        return;
    }
    sleepShowsInARow_ = sleepHidden ? 0 : sleepShowsInARow_ + 1;
    if (sleepShowsInARow_ == SleepShowsToGiveUp) settled_ = true;
}

// --- Frame pacer ---------------------------------------------------------------------------------------

void TFramePacer::start(int frameHertz, const TRefreshMeasure& refresh) {
    frameHertz_ = frameHertz;
    refreshRemainder_ = 0;
    lastShownMicros_ = -1;
    tickAccumulator_ = 0;
    if (frameHertz <= 0) {
        mode_ = PacingMode::Unpaced;
        refreshHertz_ = 0;
    } else if (refresh.waits && refresh.refreshHertz * 100 >= frameHertz * LowestRefreshPercent) {
        // A display a little under the frame rate (59 Hz) shows every frame for one refresh.
        mode_ = PacingMode::VerticalBlank;
        refreshHertz_ = std::max(refresh.refreshHertz, frameHertz);
    } else {
        mode_ = PacingMode::Clock;
        refreshHertz_ = refresh.waits ? refresh.refreshHertz : 0;
    }
}

int TFramePacer::nextFrameRefreshes() {
    if (mode_ != PacingMode::VerticalBlank) return 1;
    refreshRemainder_ += refreshHertz_;
    const int refreshes = refreshRemainder_ / frameHertz_;
    refreshRemainder_ -= refreshes * frameHertz_;
    return std::max(refreshes, 1);
}

int64_t TFramePacer::frameShown(int64_t nowMicros, int refreshes) {
    if (mode_ != PacingMode::VerticalBlank) return 0;
    const int64_t expected = static_cast<int64_t>(refreshes) * 1000000 / refreshHertz_;
    int64_t sleep = 0;
    if (lastShownMicros_ >= 0) {
        const int64_t gap = nowMicros - lastShownMicros_;
        if (gap >= 0 && gap < expected / 2) sleep = expected - gap;
    }
    lastShownMicros_ = nowMicros + sleep;
    return sleep;
}

int TFramePacer::clockWaitMillis(int sinceStartMillis) {
    if (mode_ != PacingMode::Clock) return 0;
    tickAccumulator_ += 1000;
    const int64_t wait = tickAccumulator_ / frameHertz_ - sinceStartMillis;
    if (wait > 0 && wait < 1000) return static_cast<int>(wait);
    tickAccumulator_ = static_cast<int64_t>(sinceStartMillis) * frameHertz_;
    return 0;
}

int TAnimationFrameClock::framesFor(double nowMillis) {
    if (!started_ || nowMillis - lastMillis_ > LongestGapMillis) {
        started_ = true;
        lastMillis_ = nowMillis;
        owedMillis_ = 0;
        return 1;
    }
    const double gap = std::max(nowMillis - lastMillis_, 0.0);
    lastMillis_ = nowMillis;
    owedMillis_ += gap;
    // Two frames in one callback only where the display itself is slower than the frames.
    const int most = gap <= 2 * FrameMillis + EarlyMillis ? 2 : 1;
    int frames = 0;
    while (frames < most && owedMillis_ >= FrameMillis - EarlyMillis) {
        owedMillis_ -= FrameMillis;
        ++frames;
    }
    if (owedMillis_ >= FrameMillis - EarlyMillis) owedMillis_ = 0;
    return frames;
}
