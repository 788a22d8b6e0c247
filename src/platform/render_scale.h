// The render scale: how many pixels of the picture target each logical pixel gets, and how it is chosen.
// Decisions only, free of any window system or clock: the presentation module drives them with the sizes
// and times it measures, the tests with simulated ones.
//
// The picture is drawn at the letterbox's own pixels (native) unless that is too much for the machine.
// "auto" finds out by measuring, never by the renderer's name:
// 1. It starts at native and watches the frames in windows of WindowFrames. A window whose median frame
//    period is well over a sixtieth of a second is slow: frames are not keeping sixty a second.
// 2. After a slow window it steps down the ladder (native, then half the pixels, a quarter ... down to 1,
//    never below) to the highest step whose pixel work, judged from the frame's busy time, fits the
//    period; the pixel count it left is remembered as too many, so that it never climbs back to it.
// 3. After a window of steady sixty a second whose busy time says the next step up would still fit with
//    room to spare, it climbs one step.
// Every climb that turns out slow closes that step for good, so the choice settles after a few changes at
// most and never flickers between two scales. A window of another size starts again from the highest
// step that was not found too slow.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/window_layout.h"

enum class RenderScaleMode { Auto, Native, Fixed };

struct TRenderScaleChoice {
    RenderScaleMode mode = RenderScaleMode::Auto;
    double fixed = 1; // the scale of RenderScaleMode::Fixed
    bool operator==(const TRenderScaleChoice&) const = default;
};

constexpr double LargestFixedScale = 8;

// "auto", "native" or a number from 1 to LargestFixedScale ("1", "2", "1.5"); false for anything else.
bool parseRenderScaleChoice(std::string_view text, TRenderScaleChoice& choice);

// The letterbox's own scale: its pixels per logical pixel across (the two directions differ by rounding
// only), never below 1: a window smaller than the logical picture still gets the whole logical picture.
double nativeScaleOf(const TLetterbox& box, int logicalWidth);

struct TTargetSize {
    int width, height;
    bool operator==(const TTargetSize&) const = default;
};
// The picture target for a scale: exactly the letterbox at its native scale (so that presenting copies
// pixel for pixel), the logical size times the scale otherwise, never smaller than the logical size.
TTargetSize targetSizeFor(double scale, const TLetterbox& box, int logicalWidth, int logicalHeight);

class TAutoRenderScale {
public:
    static constexpr int WindowFrames = 30;
    // Frames not judged after a change of scale: the first ones at a new size make their larger pictures
    // and text.
    static constexpr int SettleFrames = 5;
    static constexpr int64_t FramePeriodMicros = 16667;
    // Slower than this (median) is not keeping sixty a second; vertical-blank and clock pacing both stay
    // well under it when the frames are done in time.
    static constexpr int64_t SlowPeriodMicros = FramePeriodMicros * 115 / 100;
    // A step down takes the highest step whose estimated busy time is within this; a step up needs room
    // to spare.
    static constexpr int64_t DownBudgetMicros = FramePeriodMicros * 85 / 100;
    // Half a frame: the estimate sees only the game thread, and a software renderer rasterises on threads
    // of its own as well.
    static constexpr int64_t UpBudgetMicros = FramePeriodMicros / 2;

    // A letterbox of this native scale (at least 1) and logical size: the ladder is rebuilt, the highest
    // step not known to be too slow is taken, and the frames are judged afresh.
    void start(double nativeScale, int logicalWidth, int logicalHeight);
    double scale() const { return steps_.empty() ? 1.0 : steps_[current_]; }
    const std::vector<double>& steps() const { return steps_; } // from 1 upwards

    // A frame was shown periodMicros after the one before, busyMicros of that not spent sleeping for the
    // pacing. True when the scale has changed.
    bool frameShown(int64_t periodMicros, int64_t busyMicros);

private:
    double pixelsAt(size_t step) const;
    bool allowed(size_t step) const;
    bool judgeWindow();

    int logicalWidth_ = 800, logicalHeight_ = 600;
    std::vector<double> steps_;
    size_t current_ = 0;
    // Target pixels at which frames have been too slow: this many or more are never chosen again.
    double slowPixels_ = 0;
    int settle_ = 0;
    std::vector<int64_t> periods_, busy_;
};
