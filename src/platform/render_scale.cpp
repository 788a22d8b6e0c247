#include "platform/render_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

bool parseRenderScaleChoice(std::string_view text, TRenderScaleChoice& choice) {
    if (text == "auto") {
        choice = {RenderScaleMode::Auto, 1};
        return true;
    }
    if (text == "native") {
        choice = {RenderScaleMode::Native, 1};
        return true;
    }
    const std::string number(text);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size() ||
        !(value >= 1 && value <= LargestFixedScale))
        return false;
    choice = {RenderScaleMode::Fixed, value};
    return true;
}

double nativeScaleOf(const TLetterbox& box, int logicalWidth) {
    return std::max(1.0, static_cast<double>(box.w) / logicalWidth);
}

TTargetSize targetSizeFor(double scale, const TLetterbox& box, int logicalWidth, int logicalHeight) {
    if (box.w >= logicalWidth && box.h >= logicalHeight && scale >= nativeScaleOf(box, logicalWidth) - 1e-9 &&
        scale <= nativeScaleOf(box, logicalWidth) + 1e-9)
        return {box.w, box.h};
    const int width = static_cast<int>(std::lround(logicalWidth * scale));
    const int height = static_cast<int>(std::lround(logicalHeight * scale));
    return {std::max(width, logicalWidth), std::max(height, logicalHeight)};
}

// --- Automatic choice ----------------------------------------------------------------------------------

void TAutoRenderScale::start(double nativeScale, int logicalWidth, int logicalHeight) {
    logicalWidth_ = logicalWidth;
    logicalHeight_ = logicalHeight;
    // Each step has half the pixels of the one above it.
    std::vector<double> downwards{std::max(nativeScale, 1.0)};
    while (downwards.back() / std::sqrt(2.0) > 1.0 + 1e-6)
        downwards.push_back(downwards.back() / std::sqrt(2.0));
    if (downwards.back() > 1.0) downwards.push_back(1.0);
    steps_.assign(downwards.rbegin(), downwards.rend());
    current_ = 0;
    for (size_t step = 0; step < steps_.size(); ++step)
        if (allowed(step)) current_ = step;
    settle_ = SettleFrames;
    periods_.clear();
    busy_.clear();
}

double TAutoRenderScale::pixelsAt(size_t step) const {
    return steps_[step] * steps_[step] * logicalWidth_ * logicalHeight_;
}

bool TAutoRenderScale::allowed(size_t step) const {
    return step == 0 || slowPixels_ <= 0 || pixelsAt(step) < slowPixels_;
}

bool TAutoRenderScale::frameShown(int64_t periodMicros, int64_t busyMicros) {
    if (steps_.empty()) return false;
    if (settle_ > 0) {
        --settle_;
        return false;
    }
    periods_.push_back(periodMicros);
    busy_.push_back(std::clamp<int64_t>(busyMicros, 0, periodMicros));
    if (static_cast<int>(periods_.size()) < WindowFrames) return false;
    const bool changed = judgeWindow();
    periods_.clear();
    busy_.clear();
    if (changed) settle_ = SettleFrames;
    return changed;
}

namespace {

int64_t median(std::vector<int64_t> samples) {
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

} // namespace

bool TAutoRenderScale::judgeWindow() {
    const int64_t period = median(periods_);
    const int64_t busy = median(busy_);
    // Pixel work is taken to grow with the pixels, which overstates it (the game's own work does not):
    // the estimates err towards the lower scale.
    const auto busyAt = [&](size_t step) {
        return static_cast<double>(busy) * pixelsAt(step) / pixelsAt(current_);
    };
    if (period > SlowPeriodMicros) {
        if (current_ == 0) return false; // never below the logical size, however slow
        slowPixels_ = slowPixels_ > 0 ? std::min(slowPixels_, pixelsAt(current_)) : pixelsAt(current_);
        size_t chosen = 0;
        for (size_t step = 1; step < current_; ++step)
            if (busyAt(step) <= DownBudgetMicros) chosen = step;
        current_ = chosen;
        return true;
    }
    const size_t up = current_ + 1;
    const bool keepingUp = period <= FramePeriodMicros * 105 / 100;
    if (keepingUp && up < steps_.size() && allowed(up) && busyAt(up) <= UpBudgetMicros) {
        current_ = up;
        return true;
    }
    return false;
}
