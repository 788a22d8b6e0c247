// Whole runs of play, 400 s each, from a fixed seed and a fixed script of input: the craft sits shielded
// (the test renews its shield every frame, so it can be touched but never dies), steers round the arena
// in a square and sprays shots in a turning circle with the mouse held down. Frames run the play step's
// update path (the craft, then the world pass) without drawing: drawing 25 000 frames on a software renderer
// would take minutes and draws nothing the spawns depend on.
#include "enemies/spawn_kit.h"
#include "harness/game_fixture.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "play/scroll.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>

namespace {

constexpr int framesPerLevel = 1281; // 20 s at 64 frames a second, and the frame that passes 20
constexpr int runFrames = 20 * framesPerLevel;
constexpr int steering[4] = {Key::Right, Key::Down, Key::Left, Key::Up};

struct TRunResult {
    uint64_t hash = 14695981039346656037ull;
    size_t spawns = 0;
    std::set<EnemyKind> kinds;
    int lastFrame = 0;
};

void mix(uint64_t& hash, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        hash ^= (value >> (8 * i)) & 0xFF;
        hash *= 1099511628211ull;
    }
}

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class FullRun : public GameTest {
protected:
    // Everything a game carries over from the previous one in the process is set as a new game finds it.
    void freshGame() {
        delete game;
        worldScrollOffset().set(0, 0);
        clearKeyState();
        game = TGame::create();
        game->startRun();
    }

    // Plays until the run leaves play or the frame budget is spent.
    TRunResult playScriptedRun(int maxFrames) {
        startPlaying();
        seedRandom(424242);
        TPlayer& craft = *game->player;
        craft.controlMode = ControlMode::KeysAndMouse;
        mouseButton(1, true);
        TSpawnWatcher watcher;
        watcher.look(0);
        int frame = 0;
        while (game->state == GameState::Play && frame < maxFrames) {
            ++frame;
            craft.shieldOn = 1;
            craft.shieldTime = 100;
            const double angle = frame * 7.0 * 3.14159265358979 / 180.0;
            // Round the arena in a square, two seconds a side.
            const int side = (frame / 128) % 4;
            if (frame % 128 == 1) {
                releaseKey(steering[(side + 3) % 4]);
                pressKey(steering[side]);
            }
            moveMouse(400 + static_cast<int>(150 * std::cos(angle)),
                      300 + static_cast<int>(150 * std::sin(angle)));
            craft.update(frameDt);
            game->updateWorld(frameDt);
            watcher.look(frame);
        }
        mouseButton(1, false);
        for (int key : steering)
            releaseKey(key);

        TRunResult result;
        result.lastFrame = frame;
        result.spawns = watcher.spawns.size();
        for (const TSpawnSeen& spawn : watcher.spawns) {
            mix(result.hash, static_cast<uint32_t>(spawn.frame));
            mix(result.hash, static_cast<uint32_t>(spawn.kind));
            mix(result.hash, bitsOf(spawn.position.x));
            mix(result.hash, bitsOf(spawn.position.y));
            result.kinds.insert(spawn.kind);
        }
        return result;
    }
};

TEST_F(FullRun, TheSameSeedAndInputGiveTheSameSpawnsFrameForFrame) {
    const TRunResult first = playScriptedRun(runFrames + 10);
    freshGame();
    const TRunResult second = playScriptedRun(runFrames + 10);
    RecordProperty("spawn_hash", std::to_string(first.hash));
    std::printf("spawns=%zu hash=%016llx\n", first.spawns, static_cast<unsigned long long>(first.hash));

    EXPECT_EQ(first.lastFrame, second.lastFrame);
    EXPECT_EQ(first.spawns, second.spawns);
    EXPECT_EQ(first.hash, second.hash);
    // A run worth comparing: every pattern's kind, from wanderers to dashers, came in.
    for (EnemyKind kind : {EnemyKind::Wanderer, EnemyKind::Chaser, EnemyKind::Dodger, EnemyKind::Splitter,
                           EnemyKind::GravityWell, EnemyKind::Snake, EnemyKind::Swarmer, EnemyKind::Dasher})
        EXPECT_TRUE(first.kinds.count(kind)) << kind;
}

TEST_F(FullRun, FourHundredSecondsOfPlayEndInGameOverAtLevelTwentyOneWithLivesLeft) {
    const TRunResult run = playScriptedRun(runFrames + 10);
    EXPECT_EQ(run.lastFrame, runFrames);
    EXPECT_EQ(game->state, GameState::GameOver);
    EXPECT_EQ(game->levelDirector->level, 21);
    EXPECT_GE(game->player->lives, 3); // never one lost; the score may have earned more
    EXPECT_EQ(game->player->stats.entryStep, 1);
    // All broken up, except what the swarm may have sent in during that last update.
    game->enemies.forEach([](TEnemy& enemy) {
        if (enemy.state != EnemyState::Dying) {
            EXPECT_EQ(enemy.kind(), EnemyKind::Swarmer);
        }
    });
}

} // namespace
