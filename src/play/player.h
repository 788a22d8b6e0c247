// TPlayer: the one craft. Reads the chosen controls every frame, thrusts, aims and fires the weapon
// pattern of its level, sets off bombs, runs the shield, and owns the run's counters and score awards.
#pragma once

#include "play/vector.h"
#include "scores/score_record.h"

#include <memory>

struct TParticle;
class TShape;
class TShockwave;

namespace ControlMode {
constexpr int KeysAndMouse = 0;
constexpr int Joypad = 1;
} // namespace ControlMode

class TPlayer {
public:
    static std::shared_ptr<TPlayer> create(const std::shared_ptr<TShape>& shape);

    void update(float dt);
    void draw();
    void reset();
    // Called for every enemy the player destroys, before the kill is counted; true when it rose.
    bool checkMultiplier();

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
    int shieldOn = 0;
    float shieldTime = 0;
    float blinkTime = 0;

private:
    void updateJoypad(float dt);
    void updateKeysMouse(float dt);
    void emitExhaust(const TVector& thrust);
    void fireWeapon(const TVector& aim);
    void dropBomb();
};
