// TSplinter (kind 4): the splinters a splitter breaks into. Born active, half size, each swirls about its
// homing line in its own sense and rate.
#pragma once

#include "enemies/enemy.h"
#include "play/vector.h"

#include <memory>

class TSplinter : public TEnemy {
public:
    // Makes one active splinter at a copy of position, turning about its homing line by spin degrees per
    // update; appends its particle to particles and the splinter to enemies.
    static std::shared_ptr<TSplinter> create(const TVector& position, float spin);

    EnemyKind kind() const override { return EnemyKind::Splinter; }

    float orbitAngle = 0; // degrees
    float spin = 0;       // degrees per update; the sign picks the sense of the swirl

protected:
    void activeStep(float dt) override;
};
