// The state steps that run inside `frame`: title, play and pause. Each ends with the frame presented by
// `frame` itself, except the title's Escape, which ends the program without presenting.
#include "app/game.h"

#include "platform/display.h"
#include "platform/input.h"
#include "platform/program.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "shapes/shape.h"

void TGame::titleStep(float dt) {
    titleScreen(dt);
    // The settings file is written here, before leaving.
    if (keyHitCount(Key::Escape) || quitRequested()) exitProgram();
}

// Interim title screen until the front-end menus exist: the arena runs behind an empty screen and Enter
// stands in for the menu's START. The menu screen replaces this whole function.
void TGame::titleScreen(float dt) {
    player->shape->visible = 0;
    updateWorld(dt);
    drawWorld();
    if (keyHitCount(Key::Enter)) startPlaying();
}

void TGame::startPlaying() {
    state = GameState::Play;
    logoAlpha = 0;
    startRun();
    switchMusicToPlay();
    // The arena opens with a ripple out of the craft.
    const TVector& craft = player->particle->position;
    grid->push(craft.x, craft.y, 300);
}

void TGame::playStep(float dt) {
    player->update(dt);
    updateWorld(dt);
    drawWorld();
    // The heads-up display is drawn here.
    // The joypad's PAUSE is tested here.
    if (keyHitCount(Key::P)) state = GameState::Pause;
    // Tested after P: with both hit in one frame the run is abandoned.
    if (keyHitCount(Key::Escape)) {
        startRun(); // abandoned: no hiscore check
        state = GameState::Title;
        switchMusicToTitle();
    }
}

// Interim pause until the configuration menu exists: the arena is drawn frozen and P resumes. Escape is
// deliberately not read here, so one hit during the pause abandons the run on the first play frame after.
void TGame::pauseStep(float) {
    drawWorld();
    // The heads-up display, the "PAUSE" caption and the configuration menu are drawn here.
    if (keyHitCount(Key::P)) state = GameState::Play;
}
