// The automatic render scale measured on this machine (auto_scale.cpp).
#pragma once

#include "bench.h"

#include <string>

struct TAutoScaleResult {
    std::string world;
    int width = 0, height = 0; // the window
    float nativeScale = 0;     // the scale of its 4:3 area, where the choice starts
    float settledScale = 0;    // the scale after the last change
    int changes = 0;
    int settledAfterFrames = 0; // the frame of the last change
    int frames = 0;
    double settledFrameMs = 0; // median wall time per frame from then on
};

#include <functional>

// Plays a world for that many frames in a width x height window with the scale left to "auto": setup once,
// then frame, which draws and presents one frame. False when the window cannot take the size.
bool measureAutoScale(const std::function<void()>& setup, const std::function<void()>& frame, int width,
                      int height, int frames, TAutoScaleResult& result);
