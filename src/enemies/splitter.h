// TSplitter (kind 3): a homing enemy that breaks into three splinters when it is shot.
#pragma once

#include "enemies/enemy.h"

class TSplitter : public TEnemy {
public:
    static std::shared_ptr<TSplitter> create(float x, float y);

    EnemyKind kind() const override { return EnemyKind::Splitter; }

protected:
    void activeStep(float dt) override;
    bool hitByKind(float dt) override;
};
