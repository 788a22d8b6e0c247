// The frame's state dispatch and every state step: play, pause, life lost, game over and the title, plus
// the start-of-run reset, entering game over and the switching between the title and the play track.
// Each step runs inside `frame`, which presents the frame afterwards; the steps that end the program
// present nothing.
//
// Sections: frame · play and pause · life lost and game over · title · run start and music.
#include "app/game.h"

#include "app/run_recording.h"
#include "app/ui/caption.h"
#include "app/ui/hiscores_page.h"
#include "app/ui/menu.h"
#include "app/watch_run.h"
#include "enemies/enemy.h"
#include "enemies/level_director.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/page_files.h"
#include "platform/program.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"

// --- Frame ---------------------------------------------------------------------------------------------

void TGame::frame() {
    if (watchingRun()) {
        watchRunFrame(*this);
        return;
    }
    stepFrame();
    runFrameEnded();
    presentFrame(-1);
}

void TGame::stepFrame() {
    // dt is deliberately not clamped: a stall of two seconds is a dt of two seconds for every update.
    // The clock wraps after 49.7 days of uptime: the difference is taken modulo 2^32, where it is right
    // across the wrap (a signed int difference would overflow there).
    const int now = elapsedMillis();
    const auto step = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(lastFrameTime));
    const float dt = static_cast<float>(step) / 1000.0f;
    lastFrameTime = elapsedMillis();

    // Closing the window (or a termination signal) must not lose the hiscores or the settings.
    if (quitRequested()) quitProgram();
    // A window left during a run pauses it (in play and pause below); one left during the life-lost
    // countdown pauses the play that follows, as a P would. Anywhere else it changes nothing.
    if (state != GameState::Play && state != GameState::Pause && state != GameState::LifeLost)
        focusLossCount();

    switch (state) {
    case GameState::Pause:
        pauseStep(dt);
        break;
    case GameState::Play:
        playStep(dt);
        break;
    case GameState::Title:
        titleStep(dt);
        break;
    case GameState::Configuration:
        configScreen(dt);
        break;
    case GameState::LifeLost:
        lifeLostStep(dt);
        break;
    case GameState::GameOver:
        gameOverStep(dt);
        break;
    case GameState::Credits:
        creditsScreen(dt);
        break;
    case GameState::Instructions:
        instructionsScreen(dt);
        break;
    case GameState::HiscoresPage:
        hiscoresPageStep(*this, dt);
        break;
    }
    drawNote(dt);
    // Leaving waits on the title only: a run started meanwhile is played, and the quit forgotten.
    if (state != GameState::Title) leaveAfterNote = false;
    if (leaveAfterNote && noteTime <= 0) exitProgram();
}

void TGame::quitProgram() {
    if (!saveSettings() && !settingsUnreadable && !quitRequested()) {
        leaveAfterNote = true; // the note says why; the program ends when it has been read
        return;
    }
    exitProgram();
}

// --- Play and pause ------------------------------------------------------------------------------------

void TGame::playStep(float dt) {
    player->update(dt);
    updateWorld(dt);
    drawWorld();
    drawHud();
    // Both pause requests are read every frame, but only a run still in play can pause: the world pass
    // may just have lost a life or ended the run, and pausing then would skip the respawn or game over.
    const bool pauseAsked = joypad->pausePressed();
    const bool pauseKey = keyHitCount(Key::P) != 0;
    // A pad pulled out mid-fight pauses too; the keys and mouse take over until it is back. The pull is
    // seen by one poll only, so it waits for play if a life was lost in the same frame.
    if (joypad->pulledOut()) padPullPending = true;
    const bool padPulled = padPullPending && player->controlMode == ControlMode::Joypad;
    // Unlike P, a window left in the frame a life is lost stays counted and pauses once play is back.
    const bool windowLeft = state == GameState::Play && focusLossCount() != 0;
    if ((pauseAsked || pauseKey || padPulled || windowLeft) && state == GameState::Play)
        state = GameState::Pause;
    if (state == GameState::Pause || player->controlMode != ControlMode::Joypad) padPullPending = false;
    // Tested after P: with both hit in one frame the run is abandoned.
    if (keyHitCount(Key::Escape)) {
        startRun(); // abandoned: no hiscore check
        state = GameState::Title;
        switchMusicToTitle();
    }
}

// The arena is drawn frozen. Escape is deliberately not read here, so one hit during the pause abandons
// the run on the first play frame after it.
void TGame::pauseStep(float dt) {
    focusLossCount(); // leaving the window again changes nothing: only the player resumes
    drawWorld();
    drawHud();
    drawCaption("PAUSE", 290, CaptionStyle::Blue, {.white = true});

    if (joypad->mode == JoypadMode::Configuration || joypad->mode == JoypadMode::Test) {
        drawJoypadScreen(dt); // its Escape only closes the page; the frame ends here
        return;
    }

    if (keyHitCount(Key::P)) state = GameState::Play;
    // Nothing else polls the pad while the world stands still.
    joypad->poll(player->joyPort);
    if (joypad->pausePressed()) state = GameState::Play;

    runConfigMenu(GameState::Play);
}

// --- Life lost and game over ---------------------------------------------------------------------------

// The enemy contact test has already taken the life, hidden the craft and started the countdown. The
// craft's own update does not run meanwhile: no steering, no firing, no shield timing; only its particle
// drifts on in the world pass.
void TGame::lifeLostStep(float dt) {
    deathTime -= dt;
    if (deathTime < 0) {
        state = GameState::Play;
        player->kills = 0;
        player->multiplier = 1;
        removeAllEnemies();
        if (player->lives > 0)
            respawnCraft();
        else
            enterGameOver();
    }
    updateWorld(dt);
    if (joypad->pulledOut()) padPullPending = true;
    drawWorld();
    drawHud();
}

// The craft comes back where it died, with its bombs and weapon.
void TGame::respawnCraft() {
    player->raiseShield();
    snakeCount = 0;
    levelDirector->waveBusy = 0; // a wave cut short by the death must not hold the lock for ever
}

void TGame::enterGameOver() {
    state = GameState::GameOver;
    player->stats.entryStep = 1;
    // Keys pressed during play must not leak into the name entry.
    clearKeyState();
}

void TGame::gameOverStep(float dt) {
    updateWorld(dt);
    drawWorld();
    drawHud();
    drawCaption("GAME OVER", 200, CaptionStyle::Blue);
    TScoreRecord& record = player->stats;
    record.drawStats(240, 0, true);

    bool entering = true;
    bool entered = false;
    if (record.score > hiscores->best->score) {
        drawCaption("THAT IS A NEW HISCORE!!", 400, CaptionStyle::Flashing);
        entered = record.enter(420, true);
    } else if (record.score > hiscores->lowest->score) {
        drawCaption("YOU'RE IN THE TOP TEN!", 400, CaptionStyle::Blue);
        entered = record.enter(440, false);
    } else {
        entering = false;
        drawCaption("BETTER LUCK NEXT TIME...", 400, CaptionStyle::Blue);
    }
    if (entered) {
        // Written at once: a crash or a closed window later must not cost the player the entry.
        saveSettings();
        // Leave in this same frame; the Enter that completed the entry must not count twice.
        joypad->pressSelect();
        clearKeyState();
    }

    // While a name is typed, its Enter comes through the typed characters, behind the letters typed before
    // it (one taken a frame). Read as a key it would leave at once, before those letters, and the run would
    // never reach the table: a quick typist, or a slow browser's frames, lost the entry that way.
    const bool enterLeaves = !(entering && !entered) && keyHitCount(Key::Enter) != 0;
    if (joypad->selectPressed() || enterLeaves) {
        startRun();
        state = GameState::Title;
        titlePhase = TitlePhase::Hiscores; // the table, perhaps with the new entry, comes first
        phaseTime = titlePhaseSeconds;
        switchMusicToTitleAfterGameOver();
    }
}

// --- Title ---------------------------------------------------------------------------------------------

void TGame::titleStep(float dt) {
    titleScreen(dt);
    if (state == GameState::Title && runOpenedPending())
        openHiscoresPage(*this);                 // a run file opened on the page
    if (keyHitCount(Key::Escape)) quitProgram(); // no frame is presented
}

void TGame::titleScreen(float dt) {
    frontEndBackdrop(dt, true);
    // The phase turns in the frame its time runs out; that frame is still drawn as the phase it ends.
    const bool logoShown = titlePhase == TitlePhase::Logo;
    phaseTime -= dt;
    if (phaseTime < 0) {
        titlePhase = logoShown ? TitlePhase::Hiscores : TitlePhase::Logo;
        phaseTime = titlePhaseSeconds;
    }
    if (logoShown) {
        fadeLogoIn();
    } else {
        fadeLogoOut();
        hiscores->draw(50);
    }
    mainMenu->draw(490);
    drawVersionText();

    if (mainMenu->update() != MenuResult::Chosen) return;
    switch (mainMenu->selectedEntry<MainMenuEntry>()) {
    case MainMenuEntry::Start:
        startPlaying();
        break;
    case MainMenuEntry::Configuration:
        state = GameState::Configuration;
        break;
    case MainMenuEntry::Instructions:
        state = GameState::Instructions;
        break;
    case MainMenuEntry::Credits:
        state = GameState::Credits;
        break;
    case MainMenuEntry::Hiscores:
        openHiscoresPage(*this);
        break;
    case MainMenuEntry::Quit:
        quitProgram();
        break;
    }
}

void TGame::startPlaying() {
    state = GameState::Play;
    logoAlpha = 0;
    startRun();
    switchMusicToPlay();
    // The arena opens with a ripple out of the craft.
    const TVector& craft = player->particle->position;
    grid->push(craft.x, craft.y, 300);
    runStarted(); // every run is recorded, from the next frame to the one that leaves it
}

// --- Run start and music -------------------------------------------------------------------------------

// At program start and whenever a run starts or is left. Shots, sparks, shockwaves and popups are left
// to run out on their own.
void TGame::startRun() {
    runLeaving(); // a run recorded or played back ends with the record as it stands now
    seedRandom(elapsedMillis());
    padPullPending = false;
    player->startRun();
    levelDirector->reset();
    snakeLimit = 10;
    snakeCount = 0;
    removeAllEnemies();
}

void TGame::removeAllEnemies() {
    enemies.forEach([&](TEnemy& enemy) {
        particles.remove(enemy.particle.get());
        enemies.remove(&enemy);
    });
}

// The play track always starts from its beginning and plays at a quarter of the music volume.
void TGame::switchMusicToPlay() {
    suspendChannel(titleChannel);
    startTrack(playMusic, playChannel, musicVolume / 4);
    setChannelGain(titleChannel, musicVolume);
}

void TGame::switchMusicToTitle() {
    switchMusicToTitleAfterGameOver();
    setChannelGain(playChannel, musicVolume / 4);
}

void TGame::switchMusicToTitleAfterGameOver() {
    suspendChannel(playChannel);
    startTrack(titleMusic, titleChannel, musicVolume);
}

void TGame::startTrack(const SoundClip& track, const SoundChannel& channel, float gain) {
    prepareSound(track, channel);
    setChannelGain(channel, gain);
    continueChannel(channel);
}
