// TChaser (kind 1): homes straight in on the craft and keeps its distance from other chasers.
#pragma once

#include "enemies/enemy.h"

class TChaser : public TEnemy {
public:
    static std::shared_ptr<TChaser> create(float x, float y);

    EnemyKind kind() const override { return EnemyKind::Chaser; }

protected:
    void activeStep(float dt) override;
};
