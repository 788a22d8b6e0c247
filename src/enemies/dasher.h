// TDasher (kind 9): turns on the spot until it points at the craft, then dashes behind an indestructible
// shield (TDasherShield, kind 91), coasts to a stop and aims again, turning the other way.
#pragma once

#include "enemies/enemy.h"
#include "play/vector.h"

class TDasher : public TEnemy {
public:
    static std::shared_ptr<TDasher> create(float x, float y);

    EnemyKind kind() const override { return EnemyKind::Dasher; }

    // Turning on the spot until it points at the craft; dashing is EnemyState::Active.
    static constexpr EnemyState Aiming{3};

    float dashTime = 0;             // seconds of thrust left in the current dash
    TVector dash;                   // the dash direction while aiming, the dash force while dashing
    std::shared_ptr<TEnemy> shield; // ahead of it while it dashes

protected:
    void entryEnded() override;
    void activeStep(float dt) override;
    // The shield leaves the enemies list with its dasher.
    bool hitByKind(float dt) override;

private:
    void aim();
    void dashOn(float dt);
};

// The shield a dasher carries in front of it. It is never moved by the world (its particle is not in the
// particles list), has no update and cannot be destroyed; it shows only while its dasher dashes, and then
// a shot that reaches it is absorbed. It leaves the enemies list with its dasher.
class TDasherShield : public TEnemy {
public:
    // Only TDasher::create makes one.
    static std::shared_ptr<TDasherShield> create();

    void update(float) override {}
    EnemyKind kind() const override { return EnemyKind::DasherShield; }

protected:
    bool hitByKind(float) override { return false; }
};

// A lowered shield is left wherever its dasher last dashed (or at the origin, before the first dash) and is
// not drawn: shots fly through it and waves pass it by, rather than burst on something the player cannot
// see.
bool isLoweredShield(const TEnemy& enemy);
