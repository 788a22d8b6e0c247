// For tests that drive the desktop backend's window itself.
#pragma once

#include "platform/input.h"
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <utility>

// Where a pointer at this place of the window (window coordinates) lands in the 800 x 600 picture, as a
// motion event from SDL brings it there.
inline std::pair<int, int> pointerAtWindow(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = SDL_GetWindowID(platformWindow());
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
    return {pointerX(), pointerY()};
}
