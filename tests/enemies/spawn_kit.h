// What the level director and spawn pattern tests share: the fresh game in play of the enemy tests, a
// fixed seed, a frame length that is exact in binary (so "three seconds" is a whole number of frames),
// and a watcher that lists every enemy as it first appears in the enemy list.
#pragma once

#include "enemies/enemy_base_kit.h"
#include "enemies/level_director.h"
#include "enemies/spawn_patterns.h"
#include "platform/random.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

constexpr float frameDt = 1.0f / 64; // 64 frames a second: 3 s is exactly 192 frames

struct TSpawnSeen {
    int frame;
    EnemyKind kind;
    TVector position;
    bool isHead; // of the snakes; false for every other kind
};

// Each look lists the enemies that were not in the list at the previous look. The enemies of the previous
// look are held, so a new enemy can never reuse a departed one's address unnoticed.
class TSpawnWatcher {
public:
    std::vector<TSpawnSeen> spawns;

    void look(int frame) {
        std::vector<std::shared_ptr<TEnemy>> now; // in list order, which is the order they were made in
        game->enemies.forEach([&](TEnemy& enemy) { now.push_back(enemy.shared_from_this()); });
        for (const auto& enemy : now)
            if (!std::binary_search(previous.begin(), previous.end(), enemy))
                spawns.push_back({frame, enemy->kind(), enemy->particle->position,
                                  enemy->kind() == EnemyKind::Snake && !enemy->isTailSegment()});
        std::sort(now.begin(), now.end());
        previous = std::move(now);
    }

    int count(EnemyKind kind) const {
        return static_cast<int>(std::count_if(spawns.begin(), spawns.end(), [kind](const TSpawnSeen& s) {
            return s.kind == kind && (kind != EnemyKind::Snake || s.isHead);
        }));
    }

private:
    std::vector<std::shared_ptr<TEnemy>> previous;
};

class SpawnTest : public PlayWorldTest {
protected:
    void SetUp() override {
        PlayWorldTest::SetUp();
        if (HasFatalFailure()) return;
        seedRandom(20240611);
        watcher.look(0);
    }

    TLevelDirector& director() { return *game->levelDirector; }

    template <class Pattern> Pattern& pattern() {
        for (const auto& p : director().patterns)
            if (auto* found = dynamic_cast<Pattern*>(p.get())) return *found;
        throw std::logic_error("no such pattern");
    }

    // Only the director runs: the enemies stay where they were made.
    void runDirector(int frames) {
        for (int i = 0; i < frames; ++i) {
            director().update(frameDt);
            watcher.look(++frame);
        }
    }

    void atLevel(int level) {
        director().level = level;
        director().levelTime = 0;
    }

    static void removeEnemy(TEnemy& enemy) {
        game->particles.remove(enemy.particle.get());
        game->enemies.remove(&enemy);
    }

    TSpawnWatcher watcher;
    int frame = 0;
};
