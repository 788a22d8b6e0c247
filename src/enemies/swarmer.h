// TSwarmer (kind 8): small, slow homers that come in swarms and never stop spinning, whatever their state.
#pragma once

#include "enemies/enemy.h"

class TSwarmer : public TEnemy {
public:
    static std::shared_ptr<TSwarmer> create(float x, float y);

    void update(float dt) override;
    EnemyKind kind() const override { return EnemyKind::Swarmer; }

protected:
    void activeStep(float dt) override;
};
