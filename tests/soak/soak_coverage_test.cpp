// The soak's coverage counts: a pattern is counted for the frames in which it really brought enemies in,
// and no other; a kind for the enemies that really appeared.
#include "enemies/chaser.h"
#include "enemies/spawn_kit.h"
#include "enemies/splitter.h"
#include "soak/soak_coverage.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

constexpr float heldBack = 1e9f;

class SoakCoverage : public SpawnTest {
protected:
    // Every pattern but the one at index waits for ever; that one is due at once.
    TSpawnPattern& onlyDue(int index) {
        for (const auto& p : director().patterns) {
            p->phase = 0;
            p->waitTime = heldBack;
        }
        TSpawnPattern& due = *director().patterns[static_cast<size_t>(index)];
        due.waitTime = 0;
        director().waveBusy = 0;
        return due;
    }

    void SetUp() override {
        SpawnTest::SetUp();
        // Enemies that reach the craft break up on its shield instead of stopping the director.
        craft().shieldOn = 1;
        craft().shieldTime = 3;
    }

    // Whole world passes, looked at as the soak looks at its frames. A pattern given as onceOnly starts
    // only one wave: once its wait is over it waits for ever.
    void play(int frames, TSpawnPattern* onceOnly = nullptr) {
        for (int i = 0; i < frames; ++i) {
            coverage.beforeFrame(*game);
            game->updateWorld(frameDt);
            coverage.afterFrame(*game);
            watcher.look(++frame);
            if (onceOnly && onceOnly->waitTime > 0) onceOnly->waitTime = heldBack;
        }
    }

    static void clearEnemies() {
        std::vector<TEnemy*> all;
        game->enemies.forEach([&](TEnemy& enemy) { all.push_back(&enemy); });
        for (TEnemy* enemy : all)
            removeEnemy(*enemy);
    }

    int patternsCounted() const {
        return std::accumulate(coverage.patternSpawns.begin(), coverage.patternSpawns.end(), 0);
    }

    TSoakCoverage coverage;
};

// Pattern index, a level in its range, and how many frames of releases a wave from a fresh start makes.
struct TPatternCase {
    int index;
    int level;
    int releases;
};

TEST_F(SoakCoverage, EachPatternIsCountedForTheFramesItReleasesEnemiesAndNoOtherIs) {
    // Trickle, dodger pair and well: one release; dodger wave at level 8: 8 dodgers, two fours; chaser
    // wave at 9: 52 in 13 fours; ring: one; fortress: one; stream at 11: 14 chasers one by one; swarm: 200
    // in 50 fours; dasher at 13: one.
    const TPatternCase cases[] = {{0, 2, 1},  {1, 4, 1},  {2, 5, 1},   {3, 8, 2},   {4, 9, 13},
                                  {5, 10, 1}, {6, 10, 1}, {7, 11, 14}, {9, 15, 50}, {10, 13, 1}};
    for (const TPatternCase& c : cases) {
        SCOPED_TRACE(soakPatternName(c.index));
        clearEnemies();
        game->snakeCount = 0;
        coverage = TSoakCoverage{};
        atLevel(c.level);
        TSpawnPattern& due = onlyDue(c.index);
        due.stepTime = 0;
        due.group.clear();
        const auto spawnsBefore = watcher.spawns.size();
        play(64 * 8, &due); // every wave here is out within six seconds
        EXPECT_EQ(coverage.patternSpawns[static_cast<size_t>(c.index)], c.releases);
        EXPECT_EQ(patternsCounted(), c.releases);
        EXPECT_GT(watcher.spawns.size(), spawnsBefore);
    }
}

TEST_F(SoakCoverage, SnakeHeadsPastTheLimitAreNotASpawn) {
    // Sixteen heads asked in fours, but the limit of ten lets only 4, 4 and 2 be made: three releases.
    atLevel(10);
    TSpawnPattern& wave = onlyDue(8);
    wave.stepTime = 0;
    play(40, &wave); // four releases, seven frames apart
    EXPECT_EQ(watcher.count(EnemyKind::Snake), 10);
    EXPECT_EQ(coverage.patternSpawns[8], 3);
    EXPECT_EQ(patternsCounted(), 3);

    // A ring of snakes with the limit reached is no spawn either.
    TSpawnPattern& ring = onlyDue(5);
    ring.phase = 1;
    ring.choice = 4;
    ring.remaining = 12;
    play(1);
    EXPECT_EQ(ring.phase, 0);
    EXPECT_EQ(watcher.count(EnemyKind::Snake), 10);
    EXPECT_EQ(coverage.patternSpawns[5], 0);
}

TEST_F(SoakCoverage, AWellPatternAtItsLimitAndEnemiesMadeElsewhereCountForNoPattern) {
    atLevel(5);
    TSpawnPattern& wells = onlyDue(2);
    play(2);
    ASSERT_EQ(coverage.patternSpawns[2], 1);
    // Its one well is alive: the next turn finds the limit reached and makes nothing.
    wells.waitTime = 0;
    play(64);
    EXPECT_EQ(coverage.patternSpawns[2], 1);

    // A chaser on a corner while the chaser wave is spawning but not releasing, and a splitter's splinters.
    atLevel(9);
    TSpawnPattern& chasers = onlyDue(4);
    chasers.phase = 1;
    chasers.remaining = 40;
    chasers.stepTime = heldBack;
    const TVector at = TSpawnPattern::corner(0);
    coverage.beforeFrame(*game);
    TChaser::create(at.x, at.y);
    auto splitter = TSplitter::create(600, 200);
    splitter->state = EnemyState::Active;
    splitter->hit(true, frameDt);
    coverage.afterFrame(*game);
    EXPECT_EQ(coverage.patternSpawns[4], 0);
    EXPECT_EQ(patternsCounted(), 1);
    EXPECT_EQ(coverage.kindSpawns[kindCode(EnemyKind::Chaser)], 1);
    EXPECT_EQ(coverage.kindSpawns[kindCode(EnemyKind::Splitter)], 1);
    EXPECT_EQ(coverage.kindSpawns[kindCode(EnemyKind::Splinter)], 3);
    EXPECT_EQ(coverage.kindSpawns[kindCode(EnemyKind::GravityWell)], 1);
    EXPECT_EQ(coverage.kindsSeen(), 4);
}

TEST_F(SoakCoverage, KindsAreTheEnemiesThatAppearedAndTheDasherBringsItsShield) {
    atLevel(13);
    onlyDue(10).stepTime = 0;
    play(64 * 2);
    EXPECT_EQ(coverage.kindSpawns[kindCode(EnemyKind::Dasher)], 1);
    EXPECT_EQ(coverage.kindSpawns[SoakKindCount - 1], 1);
    EXPECT_EQ(coverage.kindsSeen(), 2);
    EXPECT_EQ(coverage.missing().find("kind dasher shield"), std::string::npos);
    EXPECT_NE(coverage.missing().find("kind wanderer"), std::string::npos);
}

TEST_F(SoakCoverage, TheEndOfLevelTwentyIsSeenOnlyWhenTheDirectorEndsTheRun) {
    for (const auto& p : director().patterns)
        p->waitTime = heldBack;
    atLevel(20);
    director().levelTime = 19.9f;
    play(1);
    EXPECT_EQ(coverage.levelMax, 20);
    EXPECT_FALSE(coverage.finishedLevel20);
    play(10);
    EXPECT_TRUE(coverage.finishedLevel20);
    EXPECT_EQ(coverage.levelMax, 20);
    EXPECT_EQ(game->state, GameState::GameOver);
}

} // namespace
