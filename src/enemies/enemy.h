// TEnemy: the base of every enemy kind. The kinds supply `create`, `update` and `kind`; the base supplies
// the shared steps (entry animation, homing, separation, break-apart, blinking), the contact test that
// destroys the craft and the hit routine that scores a kill.
#pragma once

#include <memory>

struct TParticle;
class TShape;

namespace EnemyKind {
constexpr int Wanderer = 0;
constexpr int Chaser = 1;
constexpr int Dodger = 2;
constexpr int Splitter = 3;
constexpr int Splinter = 4;
constexpr int GravityWell = 5;
constexpr int WellChild = 6;
constexpr int Snake = 7;
constexpr int Swarmer = 8;
constexpr int Dasher = 9;
constexpr int DasherShield = 91;
} // namespace EnemyKind

namespace EnemyState {
constexpr int Entering = 0;
constexpr int Active = 1;
constexpr int Sucking = 2;
constexpr int Aiming = 3;
constexpr int Dying = 4;
constexpr int Frozen = 5;
} // namespace EnemyState

class TEnemy : public std::enable_shared_from_this<TEnemy> {
public:
    virtual ~TEnemy() = default;

    void draw();
    void checkPlayerCollision(float waveDt);
    void updateDying(float dt);
    void updateFrozen(float dt);
    void hit(int awardScore, float dt);
    void updateEntry(float dt);
    void separate();
    void seekPlayer(int force);
    virtual void update(float dt) = 0;
    virtual int kind() const = 0;

    std::shared_ptr<TParticle> particle;
    std::shared_ptr<TShape> shape;
    float radius = 0;
    int points = 0;
    int skipFrame = 0;
    int state = EnemyState::Entering;
    float entryTime = 0.3f;
    float entryScale = 0.5f;
    float timer = 0;
    float turn = 0;
    float blinkTime = 0;
    float dyingTime = 0.25f;
    int hitPoints = 0;
    int isHead = 0;
    std::shared_ptr<TEnemy> companion;
    int killedPlayer = 0;
    float pulseSpeed = 0;

protected:
    // The step skeleton most kinds share. They think only on every second frame: `update` starts with
    //     if (skipThisFrame()) return;
    // and then calls dispatchState(dt), which runs the step of the current state.
    bool skipThisFrame();
    // 0: entry (then entryEnded() in the update it finishes); 1, 2, 3: activeStep; 4: break-apart; 5: blink.
    void dispatchState(float dt);
    virtual void entryEnded() {}
    virtual void activeStep(float dt) { (void)dt; }

private:
    bool hitByKind(float dt); // the special case of the kind; false when the hit ends there
    void splitIntoSplinters();
    void destroyCraft(float waveDt);
};
