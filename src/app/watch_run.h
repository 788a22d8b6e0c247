// Watching a kept run in the running game: the run plays in the real states from its first frame to its
// end, with its sound and music and the HUD as it was, under a caption naming the player and the score.
// P pauses it, holding Right plays it four times as fast, Escape leaves at any moment; at its end, or at
// the first sign that it does not match the record it claims, the hiscores page comes back.
#pragma once

#include "app/run_recording.h"

#include <string>

class TGame;

// The game (on the hiscores page) starts playing the run; what the player had (table, settings, the
// page) comes back when the watch ends.
void startWatching(TGame& g, const TRun& run);
bool watchingRun();
// One presented frame of the watch; the game's frame hands over to it while a run is watched.
void watchRunFrame(TGame& g);
// Why the last watch was cut short, for the page to show once; empty when it ended as it should.
std::string takeWatchRefusal();

// Verifies a run file headless in the game object now current: prints one line (score, level, frames,
// the verdict) and returns 0 when it matches its record, 3 when it does not, 2 when it cannot be read.
int verifyRunFile(const std::string& path);
