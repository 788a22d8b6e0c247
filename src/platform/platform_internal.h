// Glue between the platform's own modules; never included by the game.
#pragma once

#include <cstdint>

struct TInputRecord;

// The clock as it runs, never recorded or replayed: frame pacing reads it as often as it likes (program
// module).
int liveMillis();
// The same clock in microseconds, for measuring refresh periods (a test's clock counts in whole
// milliseconds here too).
int64_t liveMicros();
// The game's settings saver, if it set one (program module).
void saveSettingsBeforeLeaving();
// Ends the process with this status after the backend has let go of its devices (program module).
[[noreturn]] void endProcess(int status);
// The game's clock as a run tape sees it: written down while one records, answered from it while one plays
// (run tape module).
int runTapeClock(int millis);
// A live input event that the core itself gives, taken at the next event pump like a device's and
// dropped like them while a replay runs (input module).
void deliverInputAtNextPump(const TInputRecord& record);
