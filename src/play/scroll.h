// The world scroll offset: how far everything that scrolls with the arena moves this frame.
//
// The backdrop sets it every frame to -0.5 x craft velocity x dt, so the view follows the craft at half
// its speed; every particle not fixed to the world adds it after integrating; the craft's particle zeroes
// an axis of it when the craft meets a wall, so the view stops following on that axis for the frame.
// It lives in its own module so that particles need not know the game object.
#pragma once

#include "play/vector.h"

TVector& worldScrollOffset();
