#include "platform/window_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

TLetterbox letterbox(int outerWidth, int outerHeight, int logicalWidth, int logicalHeight) {
    const double scale = std::min(static_cast<double>(outerWidth) / logicalWidth,
                                  static_cast<double>(outerHeight) / logicalHeight);
    const int w = std::max(1, static_cast<int>(std::lround(logicalWidth * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(logicalHeight * scale)));
    return {(outerWidth - w) / 2, (outerHeight - h) / 2, w, h};
}

TLogicalPoint logicalPointIn(const TLetterbox& box, double outerX, double outerY, int logicalWidth,
                             int logicalHeight) {
    const double x = std::floor((outerX - box.x) * logicalWidth / std::max(box.w, 1));
    const double y = std::floor((outerY - box.y) * logicalHeight / std::max(box.h, 1));
    return {static_cast<int>(std::clamp(x, 0.0, static_cast<double>(logicalWidth - 1))),
            static_cast<int>(std::clamp(y, 0.0, static_cast<double>(logicalHeight - 1)))};
}

int targetPixelAt(int logical, int logicalSize, int targetSize) {
    // The centre n + 1/2 lies at or past logical * targetSize / logicalSize when
    // (2n + 1) * logicalSize >= 2 * logical * targetSize: the smallest such n, rounded up exactly.
    const int64_t numerator = 2 * static_cast<int64_t>(logical) * targetSize - logicalSize;
    const int64_t denominator = 2 * static_cast<int64_t>(logicalSize);
    const int64_t quotient = numerator / denominator;
    const bool roundUp = numerator % denominator != 0 && numerator > 0;
    return static_cast<int>(quotient + (roundUp ? 1 : 0));
}

int windowScaleToFit(int usableWidth, int usableHeight, const TWindowFrame& frame, int logicalWidth,
                     int logicalHeight) {
    const int left = std::max(frame.left, LeastWindowFrame.left);
    const int right = std::max(frame.right, LeastWindowFrame.right);
    const int top = std::max(frame.top, LeastWindowFrame.top);
    const int bottom = std::max(frame.bottom, LeastWindowFrame.bottom);
    const int across = (usableWidth - left - right) / logicalWidth;
    const int down = (usableHeight - top - bottom) / logicalHeight;
    return std::max(1, std::min(across, down));
}
