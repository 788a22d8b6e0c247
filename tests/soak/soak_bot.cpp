// The soak player. Sections: generator · frame length · per-state behaviour · menus · play · controls.
#include "soak/soak_bot.h"

#include "app/game.h"
#include "app/ui/menu.h"
#include "enemies/enemy.h"
#include "harness/input_driver.h"
#include "input/joypad.h"
#include "platform/input.h"
#include "play/particle.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace {

// Front-end pages worth a visit before starting; QUIT is never chosen (it ends the process).
constexpr int visitableEntries[] = {menuIndex(MainMenuEntry::Configuration),
                                    menuIndex(MainMenuEntry::Instructions),
                                    menuIndex(MainMenuEntry::Credits)};
// The joypad numbers its axes 1..4, 8, 9 for the platform's six (0 X, 1 Y, 2 Z, 3 R, 4 U, 5 V).
constexpr int axisNumbers[6] = {1, 2, 3, 4, 8, 9};
// What a hand on the keyboard types during name entry: letters are taken, capitals and signs ignored.
const char* const typedSamples[] = {"a", "q", "z", "m", "7", "0", " ", "Q", "!", "-", "\xC3\xA9", "\t"};
constexpr int detectedButtons = TJoypadMapping::LastButton + 1;

int platformAxisOf(int mappedAxis) {
    for (int axis = 0; axis < 6; ++axis)
        if (axisNumbers[axis] == mappedAxis) return axis;
    return -1; // none, or an axis the virtual pad does not have
}

} // namespace

// --- Generator -----------------------------------------------------------------------------------------

uint64_t TSoakRandom::next() {
    // splitmix64: small, fast and the same everywhere.
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int TSoakRandom::integer(int low, int high) {
    return low + static_cast<int>(next() % static_cast<uint64_t>(high - low + 1));
}

float TSoakRandom::real(float low, float high) {
    return low + (high - low) * static_cast<float>(next() >> 40) / static_cast<float>(1ull << 24);
}

bool TSoakRandom::chance(double probability) {
    return static_cast<double>(next() >> 11) / static_cast<double>(1ull << 53) < probability;
}

// --- Frame length and dispatch -------------------------------------------------------------------------

TSoakBot::TSoakBot(uint64_t seed, TVirtualPad& pad, bool keptAlive)
    : random(seed), pad(pad), keptAlive(keptAlive) {
    visitsLeft = random.integer(0, 2);
    if (random.chance(0.05)) abandonAtPlayFrame = random.integer(50, 3000);
    // Most runs play until the score would make the hiscore table, then throw their lives away, so that
    // game over and name entry come within a run's frame budget. A run that cannot reach the table (the
    // default one is out of reach) gives up its lives after a while all the same.
    if (random.chance(0.85)) giveUpAtPlayFrame = random.integer(150, 450);
    if (keptAlive) abandonAtPlayFrame = giveUpAtPlayFrame = -1;
}

int TSoakBot::frameMillis() {
    // Mostly a jittery 1..100 ms, sometimes a steady 60 Hz, now and then a two-second stall.
    if (random.chance(0.002)) {
        ++tally.stalls;
        return 2000;
    }
    if (random.chance(0.3)) return random.integer(16, 17);
    return random.integer(1, 100);
}

int TSoakBot::prepareFrame(TGame& game) {
    screenshotAsked = false;
    if (game.state != lastState) {
        // A new screen: hands off the controls, and a frame for the screen to read any waiting presses.
        releaseEverything();
        lastState = game.state;
        framesInState = 0;
        menuActionsLeft = -1;
        menuTarget = -1;
        lingerFrames = random.integer(2, 90);
    }
    ++framesInState;
    if (padButtonDown >= 0) {
        pad.setButton(padButtonDown, false);
        padButtonDown = -1;
    }

    switch (game.state) {
    case GameState::Title:
        onTitle(game);
        break;
    case GameState::Credits:
    case GameState::Instructions:
        onPage(game);
        break;
    case GameState::Configuration:
        onConfiguration(game, false);
        break;
    case GameState::Play:
        onPlay(game);
        break;
    case GameState::Pause:
        onPause(game);
        break;
    case GameState::GameOver:
        onGameOver(game);
        break;
    default:
        break; // life lost: nothing to steer
    }
    if (random.chance(0.0005)) {
        ::tapKey(Key::Z);
        screenshotAsked = true;
        ++tally.screenshots;
    }
    return frameMillis();
}

// --- Front end -----------------------------------------------------------------------------------------

void TSoakBot::onTitle(TGame& game) {
    if (playedOnce) {
        runLeft = true; // back from a run: this one is done
        return;
    }
    if (framesInState < lingerFrames) return;
    if (visitTarget < 0) {
        visitTarget =
            visitsLeft > 0 ? visitableEntries[random.integer(0, 2)] : menuIndex(MainMenuEntry::Start);
        if (visitsLeft > 0) --visitsLeft;
    }
    if (steerMenu(game, *game.mainMenu, visitTarget, true)) visitTarget = -1;
}

void TSoakBot::onPage(TGame& game) {
    (void)game;
    if (framesInState < lingerFrames) return;
    // Any of the three back actions leaves the page.
    switch (random.integer(0, 2)) {
    case 0:
        tapKey(Key::Escape);
        break;
    case 1:
        tapKey(Key::Enter);
        break;
    default:
        tapPadButton(game.joypad->mappingInForce(0).backButton);
        break;
    }
}

void TSoakBot::onConfiguration(TGame& game, bool paused) {
    if (game.joypad->mode != JoypadMode::Hidden) {
        onJoypadScreen(game);
        return;
    }
    if (framesInState < 2) return;
    // The pause menu gets fewer changes: its frames are play frames the run does not get.
    if (menuActionsLeft < 0) menuActionsLeft = paused ? random.integer(0, 3) : random.integer(1, 6);
    if (menuTarget < 0) {
        if (menuActionsLeft == 0) {
            // Leave: BACK, or Escape on the configuration page (the pause menu does not read it).
            if (!paused && random.chance(0.5)) {
                tapKey(Key::Escape);
                return;
            }
            menuTarget = menuIndex(ConfigMenuEntry::Back);
        } else {
            --menuActionsLeft;
            // The control mode is the switch most worth exercising; the joypad screens come now and then.
            const int roll = random.integer(0, 99);
            menuTarget = roll < 35   ? menuIndex(ConfigMenuEntry::Control)
                         : roll < 60 ? random.integer(menuIndex(ConfigMenuEntry::MusicVolume),
                                                      menuIndex(ConfigMenuEntry::Grid))
                         : roll < 75 ? menuIndex(ConfigMenuEntry::ConfigureJoypad)
                         : roll < 85 ? menuIndex(ConfigMenuEntry::TestJoypad)
                                     : random.integer(0, menuIndex(ConfigMenuEntry::Back) - 1);
        }
    }
    const TMenu& menu = *game.configMenu;
    if (menu.selected != menuTarget) {
        steerMenu(game, menu, menuTarget, false);
        return;
    }
    if (menuTarget <= menuIndex(ConfigMenuEntry::Control)) {
        changeOption(game);
        menuTarget = -1;
        return;
    }
    if (steerMenu(game, menu, menuTarget, true)) {
        if (menuTarget == menuIndex(ConfigMenuEntry::ConfigureJoypad)) ++tally.joypadSetups;
        menuTarget = -1;
    }
}

// The configuration dialogue: one input per prompt, held until it is taken; the test screen: wiggles.
void TSoakBot::onJoypadScreen(TGame& game) {
    TJoypad& joypad = *game.joypad;
    const bool cancel = random.chance(joypad.mode == JoypadMode::Test ? 0.02 : 0.002);
    if (cancel) {
        releaseEverything();
        tapKey(Key::Escape);
        return;
    }
    if (joypad.mode == JoypadMode::Test) {
        for (int axis = 0; axis < 6; ++axis)
            if (random.chance(0.2)) pad.setAxis(axis, axes[axis] = random.real(-1, 1));
        if (random.chance(0.1)) tapPadButton(random.integer(0, detectedButtons - 1));
        return;
    }
    if (joypad.waiting) {
        // Usually let go during the confirmation; sometimes keep holding, to be captured twice.
        if (random.chance(0.05)) releaseEverything();
        return;
    }
    if (joypad.step <= 4) {
        if (framesInState % 8 != 0) return; // a hand needs a moment between prompts
        releaseEverything();
        // Mostly a distinct, plausible axis per step; now and then any axis, or a full push (not detected).
        const int axis =
            random.chance(0.8) ? (joypad.step - 1 + (random.chance(0.5) ? 0 : 2)) % 6 : random.integer(0, 5);
        const float push = random.chance(0.9) ? 0.7f : 1.0f;
        pad.setAxis(axis, axes[axis] = random.chance(0.5) ? push : -push);
    } else if (joypad.step <= 8) {
        if (framesInState % 6 != 0) return;
        releaseEverything();
        padButtonDown = random.integer(0, detectedButtons - 1);
        pad.setButton(padButtonDown, true); // seen by this frame's detection, let go before the next
    }
}

// --- Menus ---------------------------------------------------------------------------------------------

bool TSoakBot::steerMenu(TGame& game, const TMenu& menu, int target, bool choose) {
    if (menu.selected != target) {
        const int down = (target - menu.selected + menu.itemCount) % menu.itemCount;
        const bool goDown = down <= menu.itemCount - down;
        if (padStickUsable(game) && random.chance(0.3)) {
            // The stick must come back to the centre between two moves.
            if (stickWasPushed) {
                setStick(game.joypad->mappingInForce(0).moveYAxis, 0);
                stickWasPushed = false;
            } else {
                setStick(game.joypad->mappingInForce(0).moveYAxis, goDown ? 1.0f : -1.0f);
                stickWasPushed = true;
            }
        } else {
            if (stickWasPushed) setStick(game.joypad->mappingInForce(0).moveYAxis, 0);
            stickWasPushed = false;
            tapKey(goDown ? Key::Down : Key::Up);
        }
        return false;
    }
    if (!choose) return false;
    // The stick, if pushed, would move the cursor in the same update that reads the choice.
    if (stickWasPushed) {
        setStick(game.joypad->mappingInForce(0).moveYAxis, 0);
        stickWasPushed = false;
        return false;
    }
    if (random.chance(0.25))
        tapPadButton(game.joypad->mappingInForce(0).selectButton);
    else
        tapKey(Key::Enter);
    return true;
}

void TSoakBot::changeOption(TGame& game) {
    const int entry = game.configMenu->selected;
    const int before = game.configMenu->items[static_cast<size_t>(entry)].current;
    // The control mode is pushed towards the other mode most of the time; the rest goes either way,
    // including past the ends.
    if (entry == menuIndex(ConfigMenuEntry::Control) && random.chance(0.8)) {
        tapKey(before == ControlMode::Joypad ? Key::Left : Key::Right);
        ++tally.controlSwitches;
        return;
    }
    tapKey(random.chance(0.5) ? Key::Left : Key::Right);
}

// --- Play ----------------------------------------------------------------------------------------------

void TSoakBot::onPlay(TGame& game) {
    playedOnce = true;
    ++playFrames;
    ++tally.framesInPlay;
    if (abandonNow || playFrames == abandonAtPlayFrame) {
        releaseEverything();
        tapKey(Key::Escape);
        return;
    }
    if (framesInState > 2 && random.chance(0.002)) {
        ++tally.pauses;
        if (random.chance(0.5))
            tapKey(Key::P);
        else
            tapPadButton(game.joypad->mappingInForce(0).pauseButton);
        return;
    }
    thrustAndAim(game);
}

void TSoakBot::onPause(TGame& game) {
    if (game.joypad->mode != JoypadMode::Hidden) {
        onJoypadScreen(game);
        return;
    }
    if (framesInState < 2) return;
    if (framesInState < lingerFrames && random.chance(0.02)) {
        // Resume at once: P, the pad's pause, or an Escape that waits and abandons the run on resuming.
        const int how = random.integer(0, 9);
        if (how < 5)
            tapKey(Key::P);
        else if (how < 9 || keptAlive)
            tapPadButton(game.joypad->mappingInForce(0).pauseButton);
        else
            tapKey(Key::Escape);
        return;
    }
    onConfiguration(game, true);
}

void TSoakBot::thrustAndAim(TGame& game) {
    const TPlayer& craft = *game.player;
    const TVector& at = craft.particle->position;
    // The nearest enemy still in the fight is the one to aim at and the one to keep away from.
    const TEnemy* nearest = nullptr;
    float nearestDistance = std::numeric_limits<float>::max();
    game.enemies.forEach([&](TEnemy& enemy) {
        if (enemy.state == EnemyState::Dying || enemy.kind() == EnemyKind::DasherShield) return;
        const float distance = at.distanceTo(enemy.particle->position);
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &enemy;
        }
    });

    const bool throwLivesAway = giveUpAtPlayFrame >= 0 && (playFrames >= giveUpAtPlayFrame ||
                                                           craft.stats.score > game.hiscores->lowest->score);
    if (throwLivesAway) {
        ramNearest(game, nearest);
        return;
    }
    if (--intentFrames <= 0) {
        intentFrames = random.integer(5, 40);
        useKeypad = random.chance(0.3);
        const int intent = random.integer(0, 9);
        if (nearest && intent < 6) {
            // Away from the nearest enemy, or straight at it: a reckless bot loses its lives soon, which
            // keeps runs short and the deaths, respawns and game overs coming.
            const float sign = intent < 3 ? 1.0f : -1.0f;
            intentX = sign * (at.x - nearest->particle->position.x);
            intentY = sign * (at.y - nearest->particle->position.y);
        } else if (intent < 8) {
            intentX = random.real(-1, 1);
            intentY = random.real(-1, 1);
        } else {
            intentX = intentY = 0; // drift
        }
    }
    const float length = std::hypot(intentX, intentY);
    const float dirX = length > 0 ? intentX / length : 0, dirY = length > 0 ? intentY / length : 0;
    float aimX = random.real(0, 800), aimY = random.real(0, 600);
    if (nearest && random.chance(0.85)) {
        aimX = nearest->particle->position.x + random.real(-30, 30);
        aimY = nearest->particle->position.y + random.real(-30, 30);
    }
    const bool bomb =
        (nearest && nearestDistance < 70 && craft.bombs > 0 && random.chance(0.2)) || random.chance(0.001);
    if (bomb) ++tally.bombs;

    if (craft.controlMode == ControlMode::KeysAndMouse) {
        std::set<int> keys;
        const auto pick = [&](float d, int negative, int positive) {
            if (d < -0.38f) keys.insert(negative);
            if (d > 0.38f) keys.insert(positive);
        };
        if (useKeypad) {
            // The keypad's diagonals, or its straight keys.
            const int column = dirX < -0.38f ? 0 : dirX > 0.38f ? 2 : 1;
            const int row = dirY < -0.38f ? 0 : dirY > 0.38f ? 2 : 1;
            static const int keypad[3][3] = {{Key::Keypad7, Key::Keypad8, Key::Keypad9},
                                             {Key::Keypad4, 0, Key::Keypad6},
                                             {Key::Keypad1, Key::Keypad2, Key::Keypad3}};
            if (keypad[row][column]) keys.insert(keypad[row][column]);
        } else {
            pick(dirX, Key::Left, Key::Right);
            pick(dirY, Key::Up, Key::Down);
        }
        holdKeys(keys);
        moveMouse(static_cast<int>(std::clamp(aimX, 0.0f, 799.0f)),
                  static_cast<int>(std::clamp(aimY, 0.0f, 599.0f)));
        const bool fire = random.chance(0.9);
        if (fire != leftDown) mouseButton(1, leftDown = fire);
        if (bomb != rightDown) mouseButton(2, rightDown = bomb);
        return;
    }

    const TJoypadMapping mapping = game.joypad->mappingInForce(0);
    const float magnitude = random.real(0.3f, 1.0f);
    setStick(mapping.moveXAxis, dirX * magnitude);
    setStick(mapping.moveYAxis, dirY * magnitude);
    const float fireX = aimX - at.x, fireY = aimY - at.y;
    const float fireLength = std::hypot(fireX, fireY);
    if (fireLength > 0 && random.chance(0.9)) {
        setStick(mapping.fireXAxis, fireX / fireLength);
        setStick(mapping.fireYAxis, fireY / fireLength);
    } else {
        setStick(mapping.fireXAxis, 0);
        setStick(mapping.fireYAxis, 0);
    }
    if (bomb) tapPadButton(mapping.bombButton);
}

// Straight at the nearest enemy without firing: the quickest way to lose a life. The control mode
// still decides which hand does it.
void TSoakBot::ramNearest(TGame& game, const TEnemy* nearest) {
    const TVector& at = game.player->particle->position;
    float dirX = 0, dirY = 0;
    if (nearest) {
        dirX = nearest->particle->position.x - at.x;
        dirY = nearest->particle->position.y - at.y;
        const float length = std::hypot(dirX, dirY);
        if (length > 0) dirX /= length, dirY /= length;
    }
    if (game.player->controlMode == ControlMode::KeysAndMouse) {
        std::set<int> keys;
        if (dirX < -0.38f) keys.insert(Key::Left);
        if (dirX > 0.38f) keys.insert(Key::Right);
        if (dirY < -0.38f) keys.insert(Key::Up);
        if (dirY > 0.38f) keys.insert(Key::Down);
        holdKeys(keys);
        if (leftDown) mouseButton(1, leftDown = false);
        if (rightDown) mouseButton(2, rightDown = false);
        return;
    }
    const TJoypadMapping mapping = game.joypad->mappingInForce(0);
    setStick(mapping.moveXAxis, dirX);
    setStick(mapping.moveYAxis, dirY);
    setStick(mapping.fireXAxis, 0);
    setStick(mapping.fireYAxis, 0);
}

// --- Game over -----------------------------------------------------------------------------------------

void TSoakBot::onGameOver(TGame& game) {
    if (framesInState < lingerFrames) return;
    const TScoreRecord& record = game.player->stats;
    const bool asksName = record.score > game.hiscores->lowest->score;
    if (!asksName || random.chance(0.002)) {
        // Nothing to enter (or the player skips it): Enter or the pad's SELECT leaves.
        if (random.chance(0.7))
            tapKey(Key::Enter);
        else
            tapPadButton(game.joypad->mappingInForce(0).selectButton);
        return;
    }
    typeSomething(game);
}

void TSoakBot::typeSomething(TGame& game) {
    (void)game;
    if (!random.chance(0.3)) return;
    if (charsToType == 0) charsToType = random.integer(1, 26);
    if (--charsToType > 0) {
        if (random.chance(0.1))
            tapKey(Key::Backspace);
        else
            typeText(typedSamples[random.integer(0, 11)]);
        return;
    }
    tapKey(Key::Enter); // the name, or after it the brag text
    ++tally.nameEntries;
}

// --- Controls ------------------------------------------------------------------------------------------

void TSoakBot::holdKeys(const std::set<int>& keys) {
    for (int key : heldKeys)
        if (!keys.count(key)) releaseKey(key);
    for (int key : keys)
        if (!heldKeys.count(key)) pressKey(key);
    heldKeys = keys;
}

void TSoakBot::tapKey(int key) {
    ::tapKey(key);
}

void TSoakBot::setStick(int mappedAxis, float value) {
    const int axis = platformAxisOf(mappedAxis);
    if (axis < 0) return;
    axes[axis] = value;
    pad.setAxis(axis, value);
}

void TSoakBot::tapPadButton(int button) {
    if (padButtonDown >= 0) pad.setButton(padButtonDown, false);
    // Down for this frame's poll, up again before the next frame's.
    pad.setButton(button, true);
    padButtonDown = button;
}

bool TSoakBot::padStickUsable(const TGame& game) const {
    return platformAxisOf(game.joypad->mappingInForce(0).moveYAxis) >= 0;
}

void TSoakBot::releaseEverything() {
    holdKeys({});
    if (leftDown) mouseButton(1, leftDown = false);
    if (rightDown) mouseButton(2, rightDown = false);
    for (int axis = 0; axis < 6; ++axis)
        if (axes[axis] != 0) pad.setAxis(axis, axes[axis] = 0);
    if (padButtonDown >= 0) pad.setButton(padButtonDown, false);
    padButtonDown = -1;
    stickWasPushed = false;
}
