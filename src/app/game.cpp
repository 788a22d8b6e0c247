#include "app/game.h"

#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"

const char* const versionText = "V0.63";
const char* const productTitle = "Kelvanor ";

TGame* game = nullptr;

TGame* TGame::create() {
    auto* created = new TGame; // lives for the whole process; the program ends without releasing it
    created->state = GameState::Title;
    created->titlePhase = TitlePhase::Logo;
    return created;
}

void TGame::frame() {
    // dt is deliberately not clamped: a stall of two seconds is a dt of two seconds for every update.
    const int now = elapsedMillis();
    const float dt = static_cast<float>(now - lastFrameTime) / 1000.0f;
    lastFrameTime = elapsedMillis();

    switch (state) {
    case GameState::Title:
        titleScreen(dt);
        break;
    default:
        break;
    }
    presentFrame(-1);
}

void TGame::titleScreen(float) {
    clearFrame();
    if (keyHitCount(Key::Escape) || quitRequested()) exitProgram();
}
