// TEnemy: the base of every enemy kind. The kinds supply `create`, `kind` and the steps of their own states;
// the base supplies the shared steps (entry animation, homing, separation, break-apart, blinking), the
// contact test that destroys the craft and the hit routine that scores a kill. What a kind does differently
// when hit, and the fields and states only it has, are the kind's own.
#pragma once

#include "play/list_place.h"
#include "play/recycler.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

struct TParticle;
class TShape;

// The numbers are what the run record's kill counts are indexed by and what the state hash carries.
enum class EnemyKind {
    Wanderer = 0,
    Chaser = 1,
    Dodger = 2,
    Splitter = 3,
    Splinter = 4,
    GravityWell = 5,
    WellChild = 6,
    Snake = 7,
    Swarmer = 8,
    Dasher = 9,
    DasherShield = 91,
};
constexpr int kindCode(EnemyKind kind) {
    return static_cast<int>(kind);
}

// The states every kind shares. A kind's own states are its own (TGravityWell::Sucking is 2,
// TDasher::Aiming 3); the numbers are what the state hash carries.
enum class EnemyState {
    Entering = 0,
    Active = 1,
    Dying = 4,
    Frozen = 5,
};
constexpr int stateCode(EnemyState state) {
    return static_cast<int>(state);
}

// The kinds' outlines, loaded once when the game starts and kept by file name; every enemy draws a copy
// of its kind's. A new kind adds its file to the list in enemy.cpp.
using TEnemyShapes = std::map<std::string, std::shared_ptr<TShape>, std::less<>>;
TEnemyShapes loadEnemyShapes();

// A kind's row of the kinds table: what its create sets in every enemy it makes.
struct TKindBasics {
    float damping;         // of the particle
    float maxSpeed;        // of the particle
    const char* shapeFile; // the outline the enemy draws a copy of
    float radius;
    int points;
    EnemyState firstState = EnemyState::Entering;
};

class TEnemy : public std::enable_shared_from_this<TEnemy> {
public:
    virtual ~TEnemy() = default;

    void draw();
    void checkPlayerCollision(float waveDt);
    void updateDying(float dt);
    void updateFrozen(float dt);
    void hit(bool awardScore, float dt);
    void updateEntry(float dt);
    void separate();
    void seekPlayer(int force);
    // Most kinds think on every second frame only, and then run the step of their state.
    virtual void update(float dt) {
        if (skipThisFrame()) return;
        dispatchState(dt);
    }
    virtual EnemyKind kind() const = 0;
    // A snake's tail segment only follows its head: shots are lost in it and wells pass it by.
    virtual bool isTailSegment() const { return false; }

    std::shared_ptr<TParticle> particle;
    std::shared_ptr<TShape> shape;
    float radius = 0;
    int points = 0;
    bool skipFrame = false;
    EnemyState state = EnemyState::Entering;
    float entryTime = 0.3f;
    float entryScale = 0.5f;
    float timer = 0;
    float turn = 0;
    float blinkTime = 0;
    float dyingTime = 0.25f;
    bool killedPlayer = false; // the wave of the craft's death passes over its killer
    TListPlace listPlace;

protected:
    // The particle at (x, y), the outline, radius, points and first state of the kind's row.
    void setUp(float x, float y, const TKindBasics& basics);
    // A new enemy of the kind, set up from its row but not yet in the lists.
    template <class Kind> static std::shared_ptr<Kind> makeKind(float x, float y, const TKindBasics& basics) {
        auto enemy = std::allocate_shared<Kind>(TRecycler<Kind>{});
        enemy->setUp(x, y, basics);
        return enemy;
    }
    // Its particle into the particles list, then the enemy into the enemies list.
    void enlist();
    // The create of every kind that has nothing to make in between: made, set up and listed.
    template <class Kind>
    static std::shared_ptr<Kind> makeListed(float x, float y, const TKindBasics& basics) {
        auto enemy = makeKind<Kind>(x, y, basics);
        enemy->enlist();
        return enemy;
    }

    // Hits, wakes and the craft's death all send out waves of this radius.
    static constexpr float waveRadius = 800;
    // The chaser's pull toward the craft, which the dodger and the splitter share.
    static constexpr int chaserHoming = 900;

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
