#pragma once

#include "platform/display.h"

// The entry routine: opens the display, registers the assets, creates the game and runs the frame loop
// for ever. A second entry returns at once.
void runGame();
// "--scale auto|native|N" chooses the render scale (display.h); the other options are for bug reports:
// "--record FILE" writes the run down, "--replay FILE" plays one back unpaced and ends with status 0 when
// it matched, 3 when it diverged. False (after a message) for anything else.
bool applyCommandLine(int argc, char** argv);
// Start-up without the loop, so that tests and the benchmark can build the same game and step it.
bool startGame();
// The game's own face at 16 pixels, loaded on first use (after the assets are registered) and kept, so
// that a page that switches to the built-in face can switch back.
const FontFace& gameFont();
