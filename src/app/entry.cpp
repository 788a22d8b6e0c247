#include "app/entry.h"

#include "app/game.h"
#include "app/settings/screenshot.h"
#include "platform/assets.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"

#include <string>

const FontFace& gameFont() {
    static const FontFace face = loadFontFace("incbin::game_font.ttf", 16, 4);
    return face;
}

bool startGame() {
    static bool entered = false;
    if (entered) return false;
    entered = true;

    initPlatform();
    if (!openGraphicsWindow(800, 600, 32, 60, 0)) raiseFatalError("Could not open the display.");
    hidePointer();
    setWindowTitle(std::string(productTitle) + versionText);
    registerEmbeddedAssets();
    selectFont(gameFont());

    game = TGame::create();
    game->startRun(); // every play object in its start-of-run state before the first frame
    game->phaseTime = 10.0f;
    game->lastFrameTime = elapsedMillis();
    return true;
}

void runGame() {
    if (!startGame()) return;
    for (;;) {
        game->frame();
        // Read after the presentation, once per frame: several presses within a frame save one picture.
        if (keyHitCount(Key::Z)) takeScreenshot();
    }
}
