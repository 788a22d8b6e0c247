// TPlayer: the one craft. Reads the chosen controls every frame, thrusts, aims and fires the weapon
// pattern of its level, sets off bombs, runs the shield, and owns the run's counters and score awards.
#pragma once

#include "play/vector.h"
#include "scores/score_record.h"

#include <memory>

struct TParticle;
class TShape;
class TShockwave;

// The keyboard's thrust this frame from the keys keyDown reports held; moved is false when no thrust
// key is held at all (opposite keys held together still count as moving, with no net thrust).
struct TKeyThrust {
    TVector thrust;
    bool moved = false;
};
TKeyThrust keyboardThrust(int (*keyDown)(int code));

namespace ControlMode {
constexpr int KeysAndMouse = 0;
constexpr int Joypad = 1;
} // namespace ControlMode

class TPlayer {
public:
    static std::shared_ptr<TPlayer> create(const std::shared_ptr<TShape>& shape);

    void update(float dt);
    void draw();
    void reset(); // centred and still, no kills, the award marks at the start, shielded
    // Reset, unshielded (only a lost life gives the shield), with the lives, bombs and weapon of a new run.
    void startRun();
    void raiseShield(); // shown again, with a few seconds of shield
    // Called for every enemy the player destroys, before the kill is counted; true when it rose.
    bool checkMultiplier();
    // Fires one volley of the current weapon along aim. False, with nothing fired, when aim has no
    // direction (the pointer right on the craft).
    bool fireWeapon(const TVector& aim);
    // True when the keys and mouse steer this frame: in their own mode, and in joypad mode while no pad
    // is plugged in, so that nothing connected ever leaves the craft without a control.
    bool keysAndMouseSteer() const;

    int controlMode = ControlMode::Joypad;
    TScoreRecord stats;
    int lives = 0;
    int bombs = 0;
    int multiplier = 1;
    int kills = 0;
    int weaponMark = 0;
    int bombMark = 0;
    int lifeMark = 0;
    std::shared_ptr<TParticle> particle;
    std::shared_ptr<TShape> shape;
    float fireDelay = 0;
    int weaponLevel = 1;
    std::shared_ptr<TShockwave> activeBomb;
    int joyPort = 0;
    bool shieldOn = false;
    float shieldTime = 0;
    float blinkTime = 0;

private:
    void updateShield(float dt);
    void grantAwards();
    void updateJoypad(float dt);
    void updateKeysMouse(float dt);
    // Turns the craft to face away from the thrust, sprays the exhaust and keeps the engine humming.
    void showThrust(const TVector& thrust);
    void emitExhaust(const TVector& thrust);
    void silenceEngine();
    void dropBomb(float dt);
    void drawCrosshair();
};
