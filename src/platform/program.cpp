// Program control: start-up of SDL's non-video subsystems, the two ways the program ends, and the
// millisecond clock the frame loop measures itself with.
#include "platform/program.h"

#include "platform/input_events.h"
#include "platform/platform_internal.h"
#include "platform/replay_hooks.h"
#include "platform/sound_device.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

std::function<int()> clockSource;
std::function<void(std::string_view)> fatalErrorHandler;

// Shuts SDL down before the process goes, so a changed display mode is restored and the audio thread
// stops before static objects are destroyed.
void shutDownSdl() {
    if (SDL_WasInit(0) != 0) SDL_Quit();
}

} // namespace

bool initPlatform() {
    // Each subsystem is started only when it is not running, so calling again (or after the display
    // started video, which brings events along) changes nothing.
    // SIGINT and SIGTERM must arrive as a quit request the game can answer by saving its settings,
    // so SDL's own handlers stay in place even if the environment asked for none.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    if (SDL_WasInit(SDL_INIT_EVENTS | SDL_INIT_TIMER) != (SDL_INIT_EVENTS | SDL_INIT_TIMER) &&
        SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "SDL could not start: %s\n", SDL_GetError());
        return false;
    }
    // A machine without joysticks or a sound card still runs the game: those two may fail alone.
    const bool joysticksStarted =
        SDL_WasInit(SDL_INIT_JOYSTICK) == 0 && SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    // Only asked where a known pad has its sticks and buttons; the pads are read as joysticks.
    if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0 && SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0)
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) SDL_InitSubSystem(SDL_INIT_AUDIO);
    startInputEvents(joysticksStarted);
    openSoundDevice();
    return true;
}

void raiseFatalError(std::string_view message) {
    if (fatalErrorHandler) fatalErrorHandler(message);
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    // A recording keeps the run up to here; a replay that reaches the same error has matched.
    replayProgramEnding();
    shutDownSdl();
    std::exit(-1);
}

void setFatalErrorHandler(std::function<void(std::string_view message)> handler) {
    fatalErrorHandler = std::move(handler);
}

void exitProgram() {
    replayProgramEnding();
    endProcess(0);
}

void endProcess(int status) {
    std::fflush(stdout);
    shutDownSdl();
    std::exit(status);
}

int elapsedMillis() {
    return replayClock(liveMillis());
}

int liveMillis() {
    if (clockSource) return clockSource();
    // Time since the system started, like a tick count: the game seeds its generator from this clock, so
    // it should not start near 0 in every process.
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    return static_cast<int>(static_cast<uint32_t>(millis));
}

int64_t liveMicros() {
    if (clockSource) return static_cast<int64_t>(clockSource()) * 1000;
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void sleepMillis(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void setClockSource(std::function<int()> clock) {
    clockSource = std::move(clock);
}
