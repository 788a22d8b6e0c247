// TWellChild (kind 6): the fast homers an overloading gravity well bursts into. Born active.
#pragma once

#include "enemies/enemy.h"

class TWellChild : public TEnemy {
public:
    static std::shared_ptr<TWellChild> create(float x, float y);

    EnemyKind kind() const override { return EnemyKind::WellChild; }

protected:
    void activeStep(float dt) override;
};
