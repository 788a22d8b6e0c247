// The backdrop behind the arena: a dark blue clear colour and a parallax starfield, and the view scroll.
//
// The backdrop computes the frame's scroll offset from the craft's velocity: everything that scrolls with
// the arena adds it after moving, so the view follows the craft at half its speed. Stars move by the same
// offset scaled by their depth, which also sets their brightness, so near stars are bright and fast.
#pragma once

#include "play/vector.h"

#include <memory>
#include <vector>

struct TStar {
    float x = 0;
    float y = 0;
    float depth = 0; // 0..1: parallax factor and brightness at once
};

class TBackdrop {
public:
    static std::shared_ptr<TBackdrop> create(int count);

    void update(float dt); // computes the scroll from the craft's velocity, then moves the stars
    void draw();           // clears the screen to a dark blue and plots the stars
    void moveStars();      // by this frame's scroll, wrapping at the screen edges

    std::vector<TStar> stars;
    // The world scroll offset itself, so that particles, which do not know the backdrop, read the same
    // vector.
    TVector& scroll;

    TBackdrop();
};
