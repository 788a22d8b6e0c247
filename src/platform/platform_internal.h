// Glue between the platform's own modules; never included outside src/platform/.
#pragma once

#include <cstdint>

struct SDL_Window;

// The game's window, or null before openGraphicsWindow (display module).
SDL_Window* platformWindow();
// Maps a position in window pixels to the 800 x 600 picture, allowing for the letterbox bars (display
// module). Positions over the bars are clamped to the picture's edge.
void logicalPointerFromWindow(int windowX, int windowY, int* logicalX, int* logicalY);
// The clock as it runs, never recorded or replayed: frame pacing reads it as often as it likes (program
// module).
int liveMillis();
// The same clock in microseconds, for measuring refresh periods (a test's clock counts in whole
// milliseconds here too).
int64_t liveMicros();
// Alt+Enter and F11: between full screen and a resizable window on the desktop (display module).
void toggleFullScreen();
// Ends the process with this status after shutting SDL down (program module).
[[noreturn]] void endProcess(int status);
