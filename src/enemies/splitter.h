// TSplitter (kind 3): a homing enemy that breaks into three splinters when it is shot (the break-up itself
// is in the enemy base's hit routine).
#pragma once

#include "enemies/enemy.h"

class TSplitter : public TEnemy {
public:
    static std::shared_ptr<TSplitter> create(float x, float y);

    void update(float dt) override;
    int kind() const override { return EnemyKind::Splitter; }

protected:
    void activeStep(float dt) override;
};
