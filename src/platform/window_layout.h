// Where the logical picture goes in a window, where a pointer on the window lands in the picture, which
// of the picture target's pixels make up one logical pixel, and how big the window is when it leaves full
// screen: arithmetic only, so the presentation module and its tests share it.
#pragma once

// Where the logical picture sits inside an outer area, top-left origin: as large as fits with its aspect
// kept, centred, black bars on the other two sides.
struct TLetterbox {
    int x, y, w, h;
};
TLetterbox letterbox(int outerWidth, int outerHeight, int logicalWidth, int logicalHeight);

// The logical pixel under a point of the outer area (in the same units as the letterbox), with points over
// the bars clamped to the picture's edge.
struct TLogicalPoint {
    int x, y;
    bool operator==(const TLogicalPoint&) const = default;
};
TLogicalPoint logicalPointIn(const TLetterbox& box, double outerX, double outerY, int logicalWidth,
                             int logicalHeight);

// Where a logical coordinate falls among targetSize pixels spanning logicalSize logical ones: the first
// target pixel whose centre lies at or past it. Logical pixel i is made of target pixels
// targetPixelAt(i) .. targetPixelAt(i + 1) - 1, the pixels a rasteriser fills for a rectangle with that
// pixel's edges, so that reading a picture back at the logical size finds every such rectangle exactly
// where it was drawn. Exact for any sizes: integer arithmetic only.
int targetPixelAt(int logical, int logicalSize, int targetSize);

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
