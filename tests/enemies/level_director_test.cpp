#include "enemies/gravity_well.h"
#include "enemies/spawn_kit.h"
#include "harness/input_driver.h"
#include "platform/input.h"

namespace {

using LevelDirector = SpawnTest;

TEST_F(LevelDirector, LevelOneBringsOnlySingleWanderersEveryThreeSecondsAndAFrame) {
    // Level 1 lasts 20 s of play: the level turns in the first update past 20.0.
    runDirector(1281);
    EXPECT_EQ(director().level, 2);
    EXPECT_EQ(director().levelTime, 0);

    // Frame 1 ends the first (zero) wait, frame 2 spawns; each later wait is 192 frames, plus the frame
    // that spawns.
    ASSERT_EQ(watcher.spawns.size(), 7u);
    for (size_t i = 0; i < watcher.spawns.size(); ++i) {
        const TSpawnSeen& spawn = watcher.spawns[i];
        EXPECT_EQ(spawn.kind, EnemyKind::Wanderer) << i;
        EXPECT_EQ(spawn.frame, 2 + 193 * static_cast<int>(i)) << i;
        EXPECT_GE(spawn.position.distanceTo(craft().particle->position), 200) << i;
    }
}

TEST_F(LevelDirector, OnlyPlayTimeCountsAndALongFrameLosesItsExcess) {
    director().levelTime = 5;
    auto& trickle = pattern<TTricklePattern>();
    trickle.waitTime = 1;
    for (const GameState state :
         {GameState::Pause, GameState::LifeLost, GameState::GameOver, GameState::Title}) {
        game->state = state;
        for (int i = 0; i < 100; ++i)
            game->updateWorld(frameDt);
        EXPECT_EQ(director().levelTime, 5) << static_cast<int>(state);
        EXPECT_EQ(trickle.waitTime, 1) << static_cast<int>(state);
    }
    EXPECT_TRUE(game->enemies.empty());

    game->state = GameState::Play;
    game->updateWorld(frameDt);
    EXPECT_EQ(director().levelTime, 5 + frameDt);
    EXPECT_EQ(trickle.waitTime, 1 - frameDt);

    director().levelTime = 19.9f;
    director().update(0.5f);
    EXPECT_EQ(director().level, 2);
    EXPECT_EQ(director().levelTime, 0);
}

TEST_F(LevelDirector, SurvivingLevelTwentyBreaksEverythingUpAndEndsTheRunWithLivesLeft) {
    atLevel(20);
    director().levelTime = 20 - frameDt;
    for (const auto& p : director().patterns)
        p->waitTime = 5;
    auto chaser = addTestEnemy(EnemyKind::Chaser, 100, 100);
    auto well = addTestEnemy(EnemyKind::GravityWell, 600, 100, TGravityWell::Sucking);
    const int scoreBefore = craft().stats.score;
    pressKey(Key::A);
    pumpEvents();

    runDirector(1); // exactly 20.0: not yet
    EXPECT_EQ(game->state, GameState::Play);
    for (const auto& p : director().patterns)
        p->waitTime = 5;
    runDirector(1);
    EXPECT_EQ(director().level, 21);
    EXPECT_EQ(game->state, GameState::GameOver);
    EXPECT_EQ(craft().lives, 3);
    EXPECT_EQ(chaser->state, EnemyState::Dying);
    EXPECT_EQ(well->state, EnemyState::Dying);
    EXPECT_EQ(craft().stats.score, scoreBefore);
    EXPECT_EQ(craft().stats.entryStep, 1);
    EXPECT_EQ(keyHitCount(Key::A), 0); // nothing pressed in play reaches the name entry
    releaseKey(Key::A);

    // The patterns still ran in that update, at level 21: only the swarm's range reaches it.
    for (const auto& p : director().patterns) {
        const bool swarm = dynamic_cast<TSwarmPattern*>(p.get()) != nullptr;
        EXPECT_EQ(p->waitTime, swarm ? 5 - frameDt : 5) << p->minLevel << "-" << p->maxLevel;
    }

    // Game over: the clock stands.
    runDirector(100);
    EXPECT_EQ(director().level, 21);
    EXPECT_EQ(director().levelTime, 0);
}

} // namespace
