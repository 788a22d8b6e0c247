// TDodger (kind 2): a chaser that sidesteps shots coming its way.
#pragma once

#include "enemies/enemy.h"

class TDodger : public TEnemy {
public:
    static std::shared_ptr<TDodger> create(float x, float y);

    EnemyKind kind() const override { return EnemyKind::Dodger; }

protected:
    void activeStep(float dt) override;

private:
    bool fireStickTurnedAway() const;
    void dodgeShots();
};
