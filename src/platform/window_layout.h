// Where the logical picture goes in a window, and how big the window is when it leaves full screen:
// arithmetic only, so the display module and its tests share it.
#pragma once

// Where the logical picture sits inside an outer area, top-left origin: as large as fits with its aspect
// kept, centred, black bars on the other two sides.
struct TLetterbox {
    int x, y, w, h;
};
TLetterbox letterbox(int outerWidth, int outerHeight, int logicalWidth, int logicalHeight);

// The room a window system takes around a window's picture: title bar, borders.
struct TWindowFrame {
    int left = 0, right = 0, top = 0, bottom = 0;
};
// A frame at least this big is allowed for even when the window system reports a smaller one, which it
// does (0 all round) before it has decorated the window.
constexpr TWindowFrame LeastWindowFrame{8, 8, 40, 8};

// The first size of the window on the desktop: the largest whole multiple of the logical size whose
// window, frame included, fits the desktop's usable area; never smaller than the logical size itself, so
// the picture is never scaled down on a small desktop. Whole multiples keep every logical pixel the same
// number of screen pixels.
int windowScaleToFit(int usableWidth, int usableHeight, const TWindowFrame& frame, int logicalWidth,
                     int logicalHeight);
