// Program control and the millisecond clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

// Initialises SDL and the platform modules; safe to call more than once.
bool initPlatform();
[[noreturn]] void raiseFatalError(std::string_view message); // message to stderr, non-zero exit
[[noreturn]] void exitProgram();                             // status 0

int elapsedMillis(); // wraps as a 32-bit count; only differences are meaningful
void sleepMillis(int ms);
// Tests and replays put a controlled clock in place of the system one; an empty function restores it.
void setClockSource(std::function<int()> clock);
