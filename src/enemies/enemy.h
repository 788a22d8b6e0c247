// TEnemy: the base of every enemy kind. The kinds supply `create`, `kind` and the steps of their own states;
// the base supplies the shared steps (entry animation, homing, separation, break-apart, blinking), the
// contact test that destroys the craft and the hit routine that scores a kill. What a kind does differently
// when hit, and the fields and states only it has, are the kind's own.
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
// 2 and 3 are kinds' own: TGravityWell::Sucking and TDasher::Aiming.
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
    // Most kinds think on every second frame only, and then run the step of their state.
    virtual void update(float dt) {
        if (skipThisFrame()) return;
        dispatchState(dt);
    }
    virtual int kind() const = 0;
    // A snake's tail segment only follows its head: shots are lost in it and wells pass it by.
    virtual bool isTailSegment() const { return false; }

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
    int killedPlayer = 0;

protected:
    // Hits, wakes and the craft's death all send out waves of this radius.
    static constexpr float waveRadius = 800;

    // True on every second call: the frame an alternate-frame kind does not think in.
    bool skipThisFrame();
    // The step of the current state: entering runs the entry (then entryEnded() in the update it
    // finishes), dying and frozen their steps, and any other state, the active one and the kinds' own,
    // activeStep.
    void dispatchState(float dt);
    virtual void entryEnded() {}
    virtual void activeStep(float dt) { (void)dt; }
    virtual void dyingStep(float dt) { updateDying(dt); }
    // What the kind does first when it is hit: true to go on to the score, the kill count and the burst,
    // false when the hit ends there.
    virtual bool hitByKind(float dt) {
        (void)dt;
        return true;
    }

private:
    void destroyCraft(float waveDt);
};
