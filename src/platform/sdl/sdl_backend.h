// Glue between the SDL backend's own modules (window, OpenGL, events, audio); never included by the core
// or the game. Tests that drive SDL itself (the input driver, the window tests) include it too.
#pragma once

struct SDL_Window;

// The game's window, or null before openGraphicsWindow (display module).
SDL_Window* platformWindow();
// Maps a position in window coordinates to the 800 x 600 picture through the core's letterbox (display
// module). Positions over the bars are clamped to the picture's edge.
void logicalPointerFromWindow(int windowX, int windowY, int* logicalX, int* logicalY);
// Alt+Enter and F11: between full screen and a resizable window on the desktop (display module).
void toggleFullScreen();

// Called by initPlatform once SDL's event subsystem runs: enables text input and opens the joypads
// already plugged in. joysticksRestarted says SDL's joystick subsystem has just been (re)started, so
// any joypad handles from before are gone (events module).
void startInputEvents(bool joysticksRestarted);
