// Starting and stopping SDL's non-video subsystems; the display starts video itself when it opens.
#include "platform/program.h"

#include "platform/backend.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sound_device.h"

#include <SDL.h>

#include <cstdio>

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

// Shuts SDL down before the process goes, so a changed display mode is restored and the audio thread
// stops before static objects are destroyed.
void backendShutDown() {
    if (SDL_WasInit(0) != 0) SDL_Quit();
}

void runFrameLoop(void (*step)()) {
    for (;;)
        step();
}

bool backendFilesAtRisk() {
    return false;
}

bool backendOfferFile(std::string_view, std::string_view) {
    return false;
}

void backendFilesChanged() {}
