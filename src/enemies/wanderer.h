// TWanderer (kind 0): a slow drifter that wanders off on a new course every second of its update time.
#pragma once

#include "enemies/enemy.h"

class TWanderer : public TEnemy {
public:
    static std::shared_ptr<TWanderer> create(float x, float y);

    EnemyKind kind() const override { return EnemyKind::Wanderer; }

protected:
    void entryEnded() override;
    void activeStep(float dt) override;
};
