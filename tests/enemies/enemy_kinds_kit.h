// What the enemy-kind tests share: the fresh game in play of the base tests, every enemy outline swapped
// for the two-line test outline (so that line positions are known), a fixed random seed, and a cut-down
// world pass in the order of the game's.
#pragma once

#include "enemies/enemy_base_kit.h"
#include "platform/random.h"

#include <vector>

class EnemyKindTest : public PlayWorldTest {
protected:
    void SetUp() override {
        PlayWorldTest::SetUp();
        if (HasFatalFailure()) return;
        for (auto& [file, outline] : game->enemyShapes)
            outline = testOutline();
        game->snakeLimit = 10;
        seedRandom(20240611);
    }

    // Particles integrated (clearing their forces), then every enemy: afterwards an enemy's acceleration
    // holds exactly what its own update added.
    void stepWorld(int count, float dt) {
        for (int i = 0; i < count; ++i) {
            game->particles.forEach([&](TParticle& particle) { particle.update(dt, false); });
            game->enemies.forEach([&](TEnemy& enemy) { enemy.update(dt); });
        }
    }

    // Two calls of update: for the alternate-frame kinds exactly one of them runs the enemy's logic.
    static void runOnce(TEnemy& enemy, float dt) {
        enemy.update(dt);
        enemy.update(dt);
    }

    template <class Kind> static std::vector<Kind*> enemiesOfKind(EnemyKind kind) {
        std::vector<Kind*> found;
        game->enemies.forEach([&](TEnemy& enemy) {
            if (enemy.kind() == kind) found.push_back(dynamic_cast<Kind*>(&enemy));
        });
        return found;
    }

    // The force seekPlayer(force) adds.
    static TVector homing(const TEnemy& enemy, float force) {
        TVector toward = game->player->particle->position;
        toward.subtract(enemy.particle->position);
        return toward.normalize().scale(force);
    }
};
