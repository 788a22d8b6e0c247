// Program control and the millisecond clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

// Initialises SDL and the platform modules; safe to call more than once.
bool initPlatform();
[[noreturn]] void raiseFatalError(std::string_view message); // message to stderr, non-zero exit
// A harness that feeds loaders damaged files puts a handler in front of that exit: it gets the message
// instead of stderr and must not return (it throws or jumps back to its own caller). If it returns anyway
// the program still ends. An empty function restores the plain exit.
void setFatalErrorHandler(std::function<void(std::string_view message)> handler);
[[noreturn]] void exitProgram(); // status 0

// Calls step for every frame for as long as the program runs. The desktop calls it back to back (each
// frame waits for its presentation); a browser calls it from its animation frames, sixty times a second.
[[noreturn]] void runFrameLoop(void (*step)());
// What the game does to keep its settings when the program ends without its own exit: a browser page
// closed or hidden is left without warning. A backend that can lose the program that way calls it.
void setSettingsSaver(std::function<void()> save);

int elapsedMillis(); // wraps as a 32-bit count; only differences are meaningful
void sleepMillis(int ms);
// Tests and replays put a controlled clock in place of the system one; an empty function restores it.
void setClockSource(std::function<int()> clock);
