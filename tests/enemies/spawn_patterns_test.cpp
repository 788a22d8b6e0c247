#include "enemies/chaser.h"
#include "enemies/gravity_well.h"
#include "enemies/spawn_kit.h"
#include "play/arena_border.h"

#include <cmath>

namespace {

class SpawnPatterns : public SpawnTest {
protected:
    void step(TSpawnPattern& pattern, int frames) {
        for (int i = 0; i < frames; ++i) {
            pattern.update(frameDt);
            watcher.look(++frame);
        }
    }

    // Steps until the pattern is back to waiting; the number of steps taken.
    int stepUntilWaiting(TSpawnPattern& pattern) {
        int steps = 0;
        while (pattern.phase == 1 && steps < 100000) {
            step(pattern, 1);
            ++steps;
        }
        return steps;
    }

    static TVector arenaCentre() { return game->border->particle->position; }
};

TEST_F(SpawnPatterns, SpawnPointsDrawXThenYInsideTheAreaAndKeepAwayFromTheCraft) {
    const TVector centre = arenaCentre();
    seedRandom(77);
    const auto x = static_cast<float>(randomReal(centre.x - 518, centre.x + 518));
    const auto y = static_cast<float>(randomReal(centre.y - 310, centre.y + 310));
    seedRandom(77);
    auto& trickle = pattern<TTricklePattern>();
    trickle.pickSpawnPoint(0);
    EXPECT_EQ(trickle.spawnPoint.x, x);
    EXPECT_EQ(trickle.spawnPoint.y, y);

    // In the middle, in a corner and against a wall, where most of the area is too close.
    for (const TVector craftAt :
         {centre, TVector{centre.x - 500, centre.y - 300}, TVector{centre.x, centre.y + 300}}) {
        craft().particle->position = craftAt;
        for (int i = 0; i < 2000; ++i) {
            trickle.pickSpawnPoint(200);
            ASSERT_GE(trickle.spawnPoint.distanceTo(craftAt), 200);
            ASSERT_GE(trickle.spawnPoint.x, centre.x - 518);
            ASSERT_LT(trickle.spawnPoint.x, centre.x + 518);
            ASSERT_GE(trickle.spawnPoint.y, centre.y - 310);
            ASSERT_LT(trickle.spawnPoint.y, centre.y + 310);
        }
    }

    // A distance nothing in the area can reach still gives a point in the area rather than hanging.
    trickle.pickSpawnPoint(100000);
    EXPECT_LT(std::fabs(trickle.spawnPoint.x - centre.x), 518);
    EXPECT_LT(std::fabs(trickle.spawnPoint.y - centre.y), 310);
}

TEST_F(SpawnPatterns, CornerWavesStepOnWholeFramesAndTheNextWaveStartsOneIntervalLate) {
    atLevel(9);
    auto& wave = pattern<TChaserWavePattern>();
    wave.waitTime = 0;
    step(wave, 1);
    ASSERT_EQ(wave.phase, 1);
    EXPECT_EQ(director().waveBusy, 1);
    EXPECT_TRUE(watcher.spawns.empty());

    const int steps = stepUntilWaiting(wave);
    EXPECT_EQ(director().waveBusy, 0);
    // 50 asked, released in fours: 52, the first on the first spawning update, then every 20 frames (0.3 s
    // is 19.2 frames).
    ASSERT_EQ(watcher.count(EnemyKind::Chaser), 52);
    EXPECT_EQ(steps, 1 + 12 * 20);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(watcher.spawns[static_cast<size_t>(i)].frame, 2);
        EXPECT_TRUE(watcher.spawns[static_cast<size_t>(i)].position.equals(TSpawnPattern::corner(i)));
    }
    EXPECT_EQ(TSpawnPattern::corner(1).x - arenaCentre().x, -462);
    EXPECT_EQ(TSpawnPattern::corner(1).y - arenaCentre().y, 270);

    // The step timer was left at a whole interval: the second wave's first four come 20 frames in.
    watcher.spawns.clear();
    wave.waitTime = 0;
    step(wave, 1);
    step(wave, 20);
    ASSERT_EQ(watcher.spawns.size(), 4u);
    EXPECT_EQ(watcher.spawns[0].frame, frame);
}

TEST_F(SpawnPatterns, TheEarlierPatternInTheListGetsTheLockWhenTwoWantIt) {
    atLevel(9);
    auto& dodgerWave = pattern<TDodgerWavePattern>();
    auto& chaserWave = pattern<TChaserWavePattern>();
    dodgerWave.waitTime = chaserWave.waitTime = frameDt / 2;
    runDirector(1);
    EXPECT_EQ(dodgerWave.phase, 1);
    EXPECT_EQ(dodgerWave.remaining, 8);
    EXPECT_EQ(chaserWave.phase, 0);
    EXPECT_EQ(chaserWave.waitTime, 10); // the next try is a full wait away
}

TEST_F(SpawnPatterns, AFortressKeepsTheOtherWavesOutUntilItsFourWellsAreGone) {
    atLevel(15);
    auto& fortress = pattern<TFortressPattern>();
    fortress.waitTime = 0;
    pattern<TDodgerWavePattern>().waitTime = 1;
    runDirector(1);
    ASSERT_EQ(fortress.phase, 1);
    ASSERT_EQ(watcher.spawns.size(), 16u);
    EXPECT_EQ(watcher.count(EnemyKind::GravityWell), 4);
    ASSERT_EQ(fortress.groupCount(), 4);

    TSpawnPattern* waves[] = {&pattern<TDodgerWavePattern>(), &pattern<TChaserWavePattern>(),
                              &pattern<TSnakeWavePattern>(), &pattern<TSwarmPattern>()};
    for (TSpawnPattern* wave : waves)
        wave->waitTime = 0;
    runDirector(19 * 64);
    for (TSpawnPattern* wave : waves)
        EXPECT_EQ(wave->phase, 0);
    EXPECT_EQ(watcher.count(EnemyKind::Swarmer), 0);
    EXPECT_EQ(director().waveBusy, 1);

    // Three wells gone, one dying: still held.
    for (auto& enemy : fortress.group) {
        if (enemy == fortress.group.back())
            enemy->state = EnemyState::Dying;
        else
            removeEnemy(*enemy);
    }
    runDirector(1);
    EXPECT_EQ(director().waveBusy, 1);
    removeEnemy(*fortress.group.back());
    runDirector(1);
    EXPECT_EQ(fortress.phase, 0);
    EXPECT_EQ(director().waveBusy, 0);

    // Its wait only runs while it is not holding: it next tries 15 s after the release, and in that time
    // the corner waves get their turn.
    bool waveStarted = false;
    for (int i = 0; i < 15 * 64 - 1; ++i) {
        runDirector(1);
        for (TSpawnPattern* wave : waves)
            waveStarted = waveStarted || wave->phase == 1;
    }
    EXPECT_TRUE(waveStarted);
    EXPECT_EQ(fortress.phase, 0);
}

// A stream or a dasher wave does not start while anything of the ones before it is still in the arena.
class SurvivorsPostpone : public SpawnPatterns, public testing::WithParamInterface<int> {
protected:
    TSpawnPattern& streamUnderTest() {
        if (GetParam() == 0) return pattern<TStreamPattern>();
        return pattern<TDasherPattern>();
    }
};

TEST_P(SurvivorsPostpone, ByEightSecondsAtATimeDyingOnesIncluded) {
    atLevel(18);
    TSpawnPattern& stream = streamUnderTest();
    std::shared_ptr<TEnemy> survivor = TChaser::create(100, 100);
    stream.group.push_back(survivor);
    stream.waitTime = 0;
    step(stream, 1);
    EXPECT_EQ(stream.phase, 0);
    EXPECT_EQ(stream.waitTime, 8);

    survivor->state = EnemyState::Dying;
    step(stream, 512); // 8 s
    EXPECT_EQ(stream.phase, 0);
    EXPECT_EQ(stream.waitTime, 8);

    removeEnemy(*survivor);
    step(stream, 511);
    EXPECT_EQ(stream.phase, 0);
    step(stream, 1);
    EXPECT_EQ(stream.phase, 1);
    EXPECT_EQ(stream.waitTime, 11);

    const size_t before = watcher.spawns.size();
    stepUntilWaiting(stream);
    const size_t made = watcher.spawns.size() - before;
    if (GetParam() == 0) {
        EXPECT_EQ(made, 30u);
        for (size_t i = before; i < watcher.spawns.size(); ++i)
            EXPECT_GE(watcher.spawns[i].position.distanceTo(craft().particle->position), 200);
    } else {
        EXPECT_EQ(watcher.count(EnemyKind::Dasher), 4);
    }
    EXPECT_EQ(stream.groupCount(), GetParam() == 0 ? 30 : 4);
}

INSTANTIATE_TEST_SUITE_P(StreamAndDasher, SurvivorsPostpone, testing::Values(0, 1));

// Past level 14 a stream draws among the kinds a ring chooses from, but never the ring's snakes.
TEST_F(SpawnPatterns, AStreamPastLevelFourteenMixesChasersDodgersAndSplittersOnly) {
    atLevel(18);
    auto& stream = pattern<TStreamPattern>();
    stream.phase = 1;
    stream.remaining = 30;
    stepUntilWaiting(stream);
    const int chasers = watcher.count(EnemyKind::Chaser), dodgers = watcher.count(EnemyKind::Dodger);
    const int splitters = watcher.count(EnemyKind::Splitter);
    EXPECT_GT(chasers, 0);
    EXPECT_GT(dodgers, 0);
    EXPECT_GT(splitters, 0);
    EXPECT_EQ(chasers + dodgers + splitters, 30);
    EXPECT_EQ(static_cast<int>(watcher.spawns.size()), 30);
}

TEST_F(SpawnPatterns, TheWellPatternKeepsToItsOwnLimitOfOneThenTwo) {
    atLevel(4);
    for (int i = 0; i < 4; ++i)
        TGravityWell::create(100 + 150 * i, 100); // a fortress's, say
    auto& wells = pattern<TWellPattern>();
    auto tryForWell = [&] {
        wells.waitTime = 0;
        step(wells, 2);
    };
    tryForWell();
    EXPECT_EQ(watcher.count(EnemyKind::GravityWell), 5);
    tryForWell();
    EXPECT_EQ(watcher.count(EnemyKind::GravityWell), 5);

    atLevel(9);
    tryForWell();
    tryForWell();
    EXPECT_EQ(watcher.count(EnemyKind::GravityWell), 6);
    EXPECT_EQ(wells.groupCount(), 2);

    removeEnemy(*wells.group.front());
    tryForWell();
    EXPECT_EQ(watcher.count(EnemyKind::GravityWell), 7);
}

TEST_F(SpawnPatterns, RingsHoldWhatTheWholeDegreeStepGivesAllRoundTheCraft) {
    game->snakeLimit = 100;
    craft().particle->position.set(300, 250);
    struct Case {
        int choice, asked, made;
        EnemyKind kind;
    };
    // A run file may hand a ring any choice: one outside the four kinds makes snakes, like the fourth.
    for (const Case c : {Case{1, 16, 17, EnemyKind::Chaser}, Case{2, 24, 24, EnemyKind::Dodger},
                         Case{3, 32, 33, EnemyKind::Splitter}, Case{1, 48, 52, EnemyKind::Chaser},
                         Case{4, 12, 12, EnemyKind::Snake}, Case{0, 12, 12, EnemyKind::Snake},
                         Case{99, 12, 12, EnemyKind::Snake}}) {
        game->removeAllEnemies();
        watcher.spawns.clear();
        watcher.look(frame);
        auto& ring = pattern<TRingPattern>();
        ring.phase = 1;
        ring.choice = c.choice;
        ring.remaining = c.asked;
        step(ring, 1);
        EXPECT_EQ(ring.phase, 0);
        EXPECT_EQ(watcher.count(c.kind), c.made) << c.asked;
        for (const TSpawnSeen& spawn : watcher.spawns)
            ASSERT_NEAR(spawn.position.distanceTo(craft().particle->position), 400, 0.01) << c.asked;
        // Angle 0 is straight below the craft.
        const auto first =
            std::find_if(watcher.spawns.begin(), watcher.spawns.end(),
                         [](const TSpawnSeen& s) { return s.kind != EnemyKind::Snake || s.isHead; });
        ASSERT_NE(first, watcher.spawns.end());
        EXPECT_NEAR(first->position.x, 300, 1e-3);
        EXPECT_NEAR(first->position.y, 650, 1e-3);
    }
}

TEST_F(SpawnPatterns, TheSwarmStopsItsOwnLoopAndNoOtherChannel) {
    atLevel(15);
    TSoundBank& sounds = *game->sounds;
    // Something else already looping on channel 7, where the cursor rests: the swarm must take channel 8.
    sounds.poolCursor = 7;
    sounds.play(sounds.engineSound, 1.0f);
    ASSERT_TRUE(isChannelPlaying(sounds.pool[7]));

    auto& swarm = pattern<TSwarmPattern>();
    swarm.waitTime = 0;
    step(swarm, 1);
    ASSERT_EQ(swarm.phase, 1);
    EXPECT_EQ(swarm.loopChannel, 8);
    EXPECT_TRUE(isChannelPlaying(sounds.pool[8]));

    stepUntilWaiting(swarm);
    EXPECT_EQ(watcher.count(EnemyKind::Swarmer), 200);
    EXPECT_EQ(director().waveBusy, 0);
    EXPECT_FALSE(isChannelPlaying(sounds.pool[8]));
    EXPECT_TRUE(isChannelPlaying(sounds.pool[7]));

    // A swarm cut off by the end of the run does not whine on into the menus.
    swarm.waitTime = 0;
    step(swarm, 3);
    ASSERT_EQ(swarm.phase, 1);
    ASSERT_TRUE(isChannelPlaying(sounds.pool[static_cast<size_t>(swarm.loopChannel)]));
    game->startRun();
    EXPECT_FALSE(isChannelPlaying(sounds.pool[static_cast<size_t>(swarm.loopChannel)]));
}

// The whine's channel goes back to the pool when a run cuts the swarm short, and a full pool may take it
// even while the whine sounds; the swarm's end must not silence whatever plays there by then.
TEST_F(SpawnPatterns, TheSwarmsEndLeavesAnEffectThatHasSinceTakenItsChannel) {
    TSoundBank& sounds = *game->sounds;
    auto& swarm = pattern<TSwarmPattern>();
    const auto loopChannel = [&] { return sounds.pool[static_cast<size_t>(swarm.loopChannel)]; };

    // Cut short by the end of a run: the channel comes free, and a looping effect takes it.
    atLevel(15);
    swarm.waitTime = 0;
    step(swarm, 3);
    ASSERT_EQ(swarm.phase, 1);
    const int whineChannel = swarm.loopChannel;
    game->startRun();
    ASSERT_FALSE(isChannelPlaying(loopChannel()));
    sounds.poolCursor = whineChannel;
    sounds.play(sounds.engineSound, 1.0f);
    ASSERT_EQ(sounds.poolCursor, whineChannel);
    // The next run reaches the swarm's levels and its wave runs out, silently.
    atLevel(15);
    stepUntilWaiting(swarm);
    EXPECT_EQ(swarm.loopChannel, whineChannel);
    EXPECT_TRUE(isChannelPlaying(loopChannel())) << "the swarm's end cut off another effect";
    EXPECT_TRUE(isChannelHolding(loopChannel(), sounds.engineSound));

    // Displaced while it sounds: with every channel busy, the next effect lands on the cursor's channel,
    // the whine's.
    for (SoundChannel& channel : sounds.pool)
        startSound(sounds.engineSound, channel);
    swarm.waitTime = 0;
    director().waveBusy = 0;
    step(swarm, 1);
    ASSERT_EQ(swarm.phase, 1);
    ASSERT_TRUE(isChannelHolding(loopChannel(), sounds.entrySound8));
    sounds.play(sounds.engineSound, 1.0f); // a loop, so it is still there when the wave ends
    ASSERT_EQ(sounds.poolCursor, swarm.loopChannel);
    ASSERT_FALSE(isChannelHolding(loopChannel(), sounds.entrySound8));
    stepUntilWaiting(swarm);
    EXPECT_TRUE(isChannelPlaying(loopChannel())) << "the swarm's end cut off another effect";

    // While the whine still holds its channel, the end of the wave stops it as before.
    for (SoundChannel& channel : sounds.pool)
        startSound(nullptr, channel);
    swarm.waitTime = 0;
    step(swarm, 1);
    ASSERT_TRUE(isChannelHolding(loopChannel(), sounds.entrySound8));
    stepUntilWaiting(swarm);
    EXPECT_FALSE(isChannelPlaying(loopChannel()));
}

} // namespace
