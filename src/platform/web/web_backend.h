// Glue between the browser backend's own modules (page, WebGL, events, audio, storage); never included
// by the core or the game.
#pragma once

#include <cstdint>

// --- Page (web_program.cpp) -----------------------------------------------------------------------------

// Animation frames run so far: the events module samples the joypads once per frame with it.
long animationFrameNumber();
// A key or mouse button the browser counts as the player's gesture: audio may start (or resume) only in
// answer to one.
void gestureSeen();
// Between full screen and the page (F11, Alt+Enter); must be called while a key or click is handled.
void toggleFullScreen();
// A hidden or closing page: the settings are written and the files flushed at once.
void pageLeaving();

// --- Canvas (web_display.cpp) ---------------------------------------------------------------------------

// Maps a position in the page's CSS pixels to the 800 x 600 picture through the core's letterbox;
// positions over the bars are clamped to the picture's edge.
void logicalPointerFromPage(double pageX, double pageY, int* logicalX, int* logicalY);

// --- Events (web_input.cpp) ----------------------------------------------------------------------------

// Listens to the page's keys, mouse, focus and visibility.
void startInputEvents();

// --- Sound (web_sound.cpp) ------------------------------------------------------------------------------

// Decodes queued music for about this long; called between frames.
void decodeMusicFor(double millis);
// Opens Web Audio's output, or resumes one the browser held back; called on every gesture until it runs.
void startWebAudio();

// --- Storage (web_program.cpp) --------------------------------------------------------------------------

// Copies the working directory into the browser's storage now, if anything changed since the last time.
void flushStorage();
