// TGravityWell (kind 5): sits dormant until shot, then sucks in sparks, enemies and the craft, swallows
// enemies that come too close for half their points, and after fourteen swallows overloads into fifteen
// well children. Shot to death it scores its points, swallowed halves included.
#pragma once

#include "enemies/enemy.h"

class TGravityWell : public TEnemy {
public:
    static std::shared_ptr<TGravityWell> create(float x, float y);

    EnemyKind kind() const override { return EnemyKind::GravityWell; }

    // Shot awake, the well stops lying dormant (EnemyState::Active) and sucks.
    static constexpr EnemyState Sucking{2};

    int hitPoints = 0;    // hits still needed once awake
    float pulseSpeed = 0; // how fast the outline breathes; hits and swallows speed it up
    int absorbLeft = 0;   // swallows left before the well overloads

protected:
    void activeStep(float dt) override;
    // The first hit wakes it; awake, every hit costs a hit point, and only the last one kills.
    bool hitByKind(float dt) override;

private:
    void suck(float dt);
    void pulse(float dt);
    void emitSpark();
    void pullSparks(float dt);
    // False when the well overloaded and is gone.
    bool pullEnemies(float dt);
    void pullCraft(float dt);
    void overload(float dt);
};
