// Start-up as a player meets it. A fresh process of this program runs the game's own start-up routine and
// its first frame; the parent times it from just before the spawn to the first presented title frame and
// takes the child's largest resident set as its peak memory.
#pragma once

struct TStartupResult {
    int runs = 0;
    // Medians over the runs, so that one run slowed down by the rest of the machine does not decide them.
    double startupMs = 0;    // spawn to the first presented title frame, wall time
    double startupMinMs = 0; // the fastest run
    double startupMaxMs = 0; // the slowest run
    double mainCpuMs = 0;    // CPU time of the game thread up to that frame: the critical path's own work
    double musicReadyMs = 0; // spawn to both music tracks decoded in full
    double firstFrameMb = 0; // the resident set's high-water mark at the first frame
    double peakMb = 0;       // the largest resident set over the child's life, music included
    // Spawn to the display open, in a child that does nothing else. Opening includes the check of the
    // refresh rate, which runs its full second on a display that never waits for the vertical blank (a
    // headless one among them): the part of start-up that the game's loading does not decide.
    double displayOpenMs = 0;
};

// The child's side: starts the game, presents its first frame, waits for the music to be whole, writes
// its figures to reportFd and ends the process without tearing anything down.
[[noreturn]] void runStartupProbe(int reportFd);
// A child that only opens the display as the game does, and reports when it is open.
[[noreturn]] void runDisplayProbe(int reportFd);

// The parent's side: spawns program with each probe option runs times, each in an empty directory of its
// own, so no settings file of an earlier run is read. False if any run failed.
bool measureStartup(const char* program, int runs, TStartupResult& result);
