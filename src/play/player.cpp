// The craft's frame: shield timing, score awards, then the control step of the chosen device (thrust,
// exhaust, engine hum, weapon volleys, bombs). Drawing puts the craft, its shield and the crosshair last.
#include "play/player.h"

#include "app/game.h"
#include "audio/sound_bank.h"
#include "input/joypad.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/arena_border.h"
#include "play/grid.h"
#include "play/particle.h"
#include "play/shockwave.h"
#include "play/shot.h"
#include "play/spark.h"
#include "shapes/shape.h"

namespace {

constexpr float Damping = 0.85f;
constexpr float MaxSpeed = 450;
constexpr float ShieldBlinkPeriod = 0.14f;
constexpr float StickDeadZone = 0.4f;
constexpr float StickThrust = 3100;
constexpr float KeyThrust = 2500;
constexpr float BombRadius = 800;
constexpr int WeaponStep = 10000;
constexpr int BombStep = 100000;
constexpr int LifeStep = 75000;
constexpr float ShieldSeconds = 3.0f;
constexpr float CrosshairArm = 8;
constexpr TSparkLook ExhaustSpark{.red = 200, .green = 100, .blue = 50, .life = 0.5f, .damping = 0.95f};
constexpr int StartingLives = 3;
constexpr int StartingBombs = 3;

// The fans of weapon levels 2 and 3: the shots leave spread degrees either side of the aim, step degrees
// apart; the craft's own velocity is part of the fanned vector.
struct TFan {
    float spread, speed, step;
    int shots;
    float fireDelay, soundRate;
};
constexpr TFan Fans[] = {{5, 1100, 5, 3, 0.1f, 1.0f}, {8, 700, 4, 5, 0.15f, 0.8f}};

// kills needed to leave multiplier n, indexed by n; 10 is the top.
constexpr int MultiplierThresholds[] = {0, 25, 50, 100, 200, 400, 700, 1000, 1500, 2000};
constexpr int TopMultiplier = 10;

// One keyboard thrust: the keys that give it and the sign on each axis (0 leaves the axis alone).
struct TThrustKey {
    int key;
    int alternate; // 0 when only one key gives it
    int dx, dy;
};

constexpr TThrustKey StraightKeys[] = {
    {Key::Keypad4, Key::Left, -1, 0},
    {Key::Keypad6, Key::Right, 1, 0},
    {Key::Keypad8, Key::Up, 0, -1},
    {Key::Keypad2, Key::Down, 0, 1},
};
constexpr TThrustKey DiagonalKeys[] = {
    {Key::Keypad7, 0, -1, -1},
    {Key::Keypad1, 0, -1, 1},
    {Key::Keypad9, 0, 1, -1},
    {Key::Keypad3, 0, 1, 1},
};

bool held(const TThrustKey& k, int (*keyDown)(int)) {
    return keyDown(k.key) || (k.alternate != 0 && keyDown(k.alternate));
}

} // namespace

TKeyThrust keyboardThrust(int (*keyDown)(int code)) {
    // Each axis takes at most one push a frame: a straight key claims its axis, and a diagonal only adds
    // to the axes nothing has claimed yet, so cursor left with keypad 7 is not twice as fast sideways.
    TKeyThrust result;
    bool movedX = false;
    bool movedY = false;
    for (const TThrustKey& k : StraightKeys) {
        if (!held(k, keyDown)) continue;
        result.thrust.add(TVector{k.dx * KeyThrust, k.dy * KeyThrust});
        movedX = movedX || k.dx != 0;
        movedY = movedY || k.dy != 0;
    }
    for (const TThrustKey& k : DiagonalKeys) {
        if (!held(k, keyDown)) continue;
        if (!movedX) result.thrust.x += k.dx * KeyThrust;
        if (!movedY) result.thrust.y += k.dy * KeyThrust;
        movedX = movedY = true;
    }
    result.moved = movedX || movedY;
    return result;
}

std::shared_ptr<TPlayer> TPlayer::create(const std::shared_ptr<TShape>& shape) {
    auto player = std::make_shared<TPlayer>();
    player->shape = shape->copy();
    player->particle = TParticle::create(static_cast<float>(screenWidth() / 2),
                                         static_cast<float>(screenHeight() / 2), Damping, MaxSpeed);
    // The craft stops short of the walls and holds the view still there, instead of bouncing.
    player->particle->keepsMargin = true;
    return player;
}

void TPlayer::update(float dt) {
    updateShield(dt);
    grantAwards();
    if (keysAndMouseSteer())
        updateKeysMouse(dt);
    else if (controlMode == ControlMode::Joypad)
        updateJoypad(dt);
}

bool TPlayer::keysAndMouseSteer() const {
    if (controlMode == ControlMode::KeysAndMouse) return true;
    // The pad's presence as the last poll saw it, like its sticks; plugging one in hands control back.
    return controlMode == ControlMode::Joypad && !game->joypad->connected;
}

void TPlayer::updateShield(float dt) {
    if (!shieldOn) return;
    shieldTime -= dt;
    // The outline blinks through the shield's last second to warn that it is about to go.
    if (shieldTime < 1.0f) {
        blinkTime -= dt;
        if (blinkTime < 0) {
            blinkTime = ShieldBlinkPeriod;
            game->sounds->play(game->sounds->shieldSound, 1.0f);
            game->shieldShape->visible = !game->shieldShape->visible;
        }
    }
    if (shieldTime < 0) shieldOn = false;
}

// A score that leaps over several marks is paid out one mark per frame, so each award is noticed.
void TPlayer::grantAwards() {
    if (stats.score >= weaponMark + WeaponStep) {
        weaponMark += WeaponStep;
        weaponLevel = randomInteger(1, 2) + 1; // may step a level 3 weapon back to 2
    }
    if (stats.score >= bombMark + BombStep) {
        bombMark += BombStep;
        bombs += 1;
    }
    if (stats.score >= lifeMark + LifeStep) {
        lifeMark += LifeStep;
        lives += 1;
        game->sounds->play(game->sounds->extraLifeSound, 1.0f);
    }
}

void TPlayer::updateJoypad(float dt) {
    const TJoypad* pad = game->joypad.get();
    const TVector move = pad ? pad->move : TVector{};
    const TVector fire = pad ? pad->fire : TVector{};

    if (move.length() > StickDeadZone) {
        // The raw stick, not its direction: a half-pushed stick gives half thrust.
        particle->acceleration.add(move * StickThrust);
        showThrust(move);
    } else {
        silenceEngine();
    }

    fireDelay -= dt;
    if (fireDelay < 0 && fire.length() > StickDeadZone) fireWeapon(fire);

    if (pad && pad->bomb) dropBomb(dt);
}

void TPlayer::updateKeysMouse(float dt) {
    const TKeyThrust keys = keyboardThrust(isKeyDown);
    if (keys.moved) {
        particle->acceleration.add(keys.thrust);
        showThrust(particle->acceleration);
    } else {
        silenceEngine();
    }

    fireDelay -= dt;
    if (fireDelay < 0 && isMouseButtonDown(1)) {
        const TVector aim{static_cast<float>(pointerX()) - particle->position.x,
                          static_cast<float>(pointerY()) - particle->position.y};
        fireWeapon(aim);
    }

    if (isMouseButtonDown(2)) dropBomb(dt);
}

void TPlayer::showThrust(const TVector& thrust) {
    // Opposite keys held together cancel out: the engine still runs, but there is no direction to face
    // or to blow the exhaust along.
    if (thrust.length() > 0) {
        shape->heading.set(-thrust.x, -thrust.y);
        shape->needsRotation = true;
        emitExhaust(thrust);
    }
    // The gain first: resumed at the gain it was cued with, the hum could be heard at full volume.
    setChannelGain(game->sounds->engineChannel, game->sounds->effectsVolume * 0.5f);
    continueChannel(game->sounds->engineChannel);
}

void TPlayer::emitExhaust(const TVector& thrust) {
    TVector d = thrust.normalized() * 100;
    for (int i = 0; i < 3; ++i) {
        d.rotate(static_cast<float>(randomReal(-25, 25))); // the turns add up, fanning the plume
        TSpark::create(particle->position, -d, ExhaustSpark);
    }
}

void TPlayer::silenceEngine() {
    suspendChannel(game->sounds->engineChannel);
}

bool TPlayer::fireWeapon(const TVector& aim) {
    if (!(aim.length() > 0)) return false;
    const TVector dir = aim.normalized();
    const TVector& craftVelocity = particle->velocity;
    const TVector& p = particle->position;

    if (weaponLevel == 1) {
        // Two parallel shots from either side of the nose.
        const TVector velocity = dir * 800 + craftVelocity;
        const TVector offset = dir * 6;
        TShot::create(p + offset.rotated(-45), velocity);
        TShot::create(p + offset.rotated(45), velocity);
        fireDelay = 0.12f;
        stats.shotsFired += 2;
        game->sounds->play(game->sounds->fireSound, 0.9f);
        return true;
    }
    const TFan& fan = Fans[weaponLevel == 2 ? 0 : 1];
    const TVector first = dir.rotated(-fan.spread) * fan.speed + craftVelocity;
    for (int i = 0; i < fan.shots; ++i)
        TShot::create(p, first.rotated(fan.step * static_cast<float>(i)));
    fireDelay = fan.fireDelay;
    stats.shotsFired += fan.shots;
    game->sounds->play(game->sounds->fireSound, fan.soundRate);
    return true;
}

// One bomb at a time: while a wave is still spreading the button does nothing and costs nothing.
void TPlayer::dropBomb(float dt) {
    if (activeBomb || bombs <= 0) return;
    bombs -= 1;
    activeBomb = TShockwave::create(particle->position, BombRadius, 1, dt, 0);
}

bool TPlayer::checkMultiplier() {
    if (multiplier >= TopMultiplier) return false;
    if (kills < MultiplierThresholds[multiplier]) return false;
    multiplier += 1;
    return true;
}

void TPlayer::reset() {
    kills = 0;
    multiplier = 1;
    bombMark = 0;
    lifeMark = 0;
    raiseShield();
    particle->position.set(static_cast<float>(screenWidth() / 2), static_cast<float>(screenHeight() / 2));
    particle->velocity.set(0, 0);
    particle->acceleration.set(0, 0);
    // Recentres the arena on the screen around the craft.
    game->border->particle->position = particle->position;
}

void TPlayer::startRun() {
    reset();
    shieldOn = false;
    lives = StartingLives;
    bombs = StartingBombs;
    stats.reset();
    weaponMark = 0;
    weaponLevel = 1;
}

void TPlayer::raiseShield() {
    shape->visible = true;
    game->shieldShape->visible = true;
    shieldOn = true;
    shieldTime = ShieldSeconds;
}

void TPlayer::draw() {
    const TVector& p = particle->position;
    setDrawOrigin(p.x, p.y);
    shape->draw(3);
    if (shieldOn) {
        game->shieldShape->draw(2);
        // Every drawn frame, so a shielded craft resting in place keeps the grid bulging around it; the
        // next world step takes the push up. A paused world is drawn without being stepped, and pushes
        // piled up there would throw the grid out the moment play resumed.
        if (game->state != GameState::Pause) game->grid->push(p.x, p.y, 40);
    }
    if (keysAndMouseSteer() && game->state == GameState::Play) drawCrosshair();
}

void TPlayer::drawCrosshair() {
    setDrawOrigin(static_cast<float>(pointerX()), static_cast<float>(pointerY()));
    setDrawColor(255, 50, 50);
    setDrawAlpha(1.0f);
    setDrawScale(1, 1);
    drawGlowSegment(game->glowImage, 2, {-CrosshairArm, 0}, {CrosshairArm, 0});
    drawGlowSegment(game->glowImage, 2, {0, -CrosshairArm}, {0, CrosshairArm});
}
