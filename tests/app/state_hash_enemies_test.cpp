// Recorded runs verify against the enemies' hash as it was when every enemy carried the gravity well's,
// the snake's and the dasher's fields. Those fields now belong to their kinds, but their bytes must stay:
// the replays in tests/replays end before wells, snakes and dashers appear, so this is where it is caught.
#include "app/state_hash.h"
#include "enemies/chaser.h"
#include "enemies/dasher.h"
#include "enemies/enemy_base_kit.h"
#include "enemies/gravity_well.h"
#include "enemies/snake.h"

#include <cstring>

namespace {

// FNV-1a over the old layout, written out field by field: ints and flags as 4-byte ints, floats by bits.
class TOldEnemyLayout {
public:
    void add(int value) { bytes(&value, sizeof value); }
    void add(float value) {
        int bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        add(bits);
    }
    void add(const TVector& v) { add(v.x), add(v.y); }
    void add(const TEnemy& e, int hitPoints, int isHead, float pulseSpeed, int hasCompanion) {
        const TParticle& p = *e.particle;
        add(kindCode(e.kind())), add(stateCode(e.state));
        add(p.position), add(p.previousPosition), add(p.acceleration), add(p.velocity);
        add(p.maxSpeed), add(p.damping), add(p.keepsMargin ? 1 : 0);
        add(e.radius), add(e.points), add(e.skipFrame ? 1 : 0), add(e.entryTime), add(e.entryScale);
        add(e.timer), add(e.turn), add(e.blinkTime), add(e.dyingTime);
        add(hitPoints), add(isHead), add(e.killedPlayer ? 1 : 0), add(pulseSpeed), add(hasCompanion);
    }
    void addCount(size_t count) {
        const uint64_t wide = count;
        bytes(&wide, sizeof wide);
    }
    uint64_t hash = 0xcbf29ce484222325ull;

private:
    void bytes(const void* data, size_t size) {
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 0x100000001b3ull;
    }
};

uint64_t enemiesPart() {
    for (const TStateHash& part : hashGameState(*game))
        if (part.part == "enemies") return part.hash;
    return 0;
}

using StateHashOfEnemies = PlayWorldTest;

TEST_F(StateHashOfEnemies, KeepsTheBytesOfTheFieldsThatMovedIntoTheKinds) {
    game->snakeLimit = 10;
    auto well = TGravityWell::create(300, 200);
    well->state = TGravityWell::Sucking;
    well->hitPoints = 7;
    well->pulseSpeed = -1.44f;
    auto head = TSnake::create(500, 200, true, 0.01f, 1.0f, nullptr);
    auto dasher = TDasher::create(700, 400);
    auto killer = TChaser::create(100, 500);
    killer->killedPlayer = true;
    killer->skipFrame = true;

    TOldEnemyLayout old;
    old.addCount(game->enemies.size());
    game->enemies.forEach([&](TEnemy& e) {
        if (&e == well.get())
            old.add(e, 7, 0, -1.44f, 0);
        else if (&e == head.get())
            old.add(e, 0, 1, 0, 0);
        else if (&e == dasher.get())
            old.add(e, 0, 0, 0, 1);
        else
            old.add(e, 0, 0, 0, 0); // the tail, the shield and the chaser had none of them
    });
    ASSERT_EQ(game->enemies.size(), 1u + 17u + 2u + 1u);
    EXPECT_EQ(enemiesPart(), old.hash);
}

} // namespace
