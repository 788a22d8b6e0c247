#include "app/entry.h"

#include "app/game.h"
#include "app/settings/screenshot.h"
#include "app/state_hash.h"
#include "platform/assets.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "platform/replay.h"

#include <cstdio>
#include <string>
#include <string_view>

const FontFace& gameFont() {
    static const FontFace face = loadFontFace("incbin::game_font.ttf", 16, 4);
    return face;
}

bool applyCommandLine(int argc, char** argv) {
    int next = 1;
    // The render scale comes first: "--scale native" and the like, then at most one of the others.
    if (argc >= 3 && std::string_view(argv[1]) == "--scale") {
        if (!setRenderScale(argv[2])) {
            std::fprintf(stderr, "--scale takes auto, native or a number from 1 to 8, not %s\n", argv[2]);
            return false;
        }
        next = 3;
    }
    if (argc == next) return true;
    const std::string_view option = argv[next];
    if (argc == next + 2 && option == "--record") {
        if (startRecording(argv[next + 1], hashCurrentGame)) return true;
        std::fprintf(stderr, "cannot write the recording %s\n", argv[next + 1]);
        return false;
    }
    if (argc == next + 2 && option == "--replay") return startReplay(argv[next + 1], hashCurrentGame, true);
    std::fprintf(stderr,
                 "usage: %s [--scale auto|native|N] [--record FILE | --replay FILE | --verify RUNFILE]\n",
                 argv[0]);
    return false;
}

// The game's picture is 800 x 600 whatever the display; any depth asks for full screen, paced to 60 Hz.
constexpr int WindowWidth = 800, WindowHeight = 600, FullScreenDepth = 32, FramesPerSecond = 60;

bool startGame() {
    static bool entered = false;
    if (entered) return false;
    entered = true;

    initPlatform();
    if (!openGraphicsWindow(WindowWidth, WindowHeight, FullScreenDepth, FramesPerSecond, 0))
        raiseFatalError("Could not open the display.");
    hidePointer();
    setWindowTitle(std::string(productTitle) + versionText);
    registerEmbeddedAssets();
    selectFont(gameFont());

    game = TGame::create();
    // A browser page may be closed or hidden at any moment; the desktop never asks for this.
    setSettingsSaver([] { game->saveSettings(); });
    game->startRun(); // every play object in its start-of-run state before the first frame
    game->phaseTime = titlePhaseSeconds;
    game->lastFrameTime = elapsedMillis();
    return true;
}

void runGame() {
    if (!startGame()) return;
    runFrameLoop([] {
        game->frame();
        // Read after the presentation, once per frame: several presses within a frame save one picture.
        if (keyHitCount(Key::Z) && takeScreenshot().empty()) game->showNote("SCREENSHOT COULD NOT BE SAVED");
    });
}
