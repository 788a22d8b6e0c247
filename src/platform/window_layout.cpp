#include "platform/window_layout.h"

#include <algorithm>
#include <cmath>

TLetterbox letterbox(int outerWidth, int outerHeight, int logicalWidth, int logicalHeight) {
    const double scale = std::min(static_cast<double>(outerWidth) / logicalWidth,
                                  static_cast<double>(outerHeight) / logicalHeight);
    const int w = std::max(1, static_cast<int>(std::lround(logicalWidth * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(logicalHeight * scale)));
    return {(outerWidth - w) / 2, (outerHeight - h) / 2, w, h};
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
