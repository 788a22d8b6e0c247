#pragma once

// The entry routine: opens the display, registers the assets, creates the game and runs the frame loop
// for ever. A second entry returns at once.
void runGame();
// Start-up without the loop, so that tests and the benchmark can build the same game and step it.
bool startGame();
