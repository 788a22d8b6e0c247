// TSpawnPattern: the base of the small timed machines that bring every enemy into the arena. A pattern
// waits, then produces one wave: a single enemy, a pair, a timed stream, a ring around the craft, or groups
// of four from the arena corners. The level director holds one of each type for the whole program and
// steps the ones whose level range holds the current level; large waves share the director's wave lock.
//
// The eleven types are declared in spawn_patterns.h.
#pragma once

#include "platform/sound.h"
#include "play/vector.h"

#include <memory>
#include <vector>

class TEnemy;

class TSpawnPattern {
public:
    virtual ~TSpawnPattern() = default;

    virtual void update(float dt) = 0;
    // A run has ended or been abandoned; the pattern keeps its timers but lets go of anything it holds on
    // the sound channels.
    virtual void runEnded() {}

    // Draws points in the spawn area, x then y, until one lies at least minDistance from the craft.
    void pickSpawnPoint(int minDistance);
    // How far from the craft the single enemies and the streams appear.
    static constexpr int ClearOfCraft = 200;
    // Drops the tracked enemies that have left the enemy list; the ones still breaking apart count.
    int groupCount();

    int phase = 0; // 0 waiting, 1 spawning (the fortress: holding)
    int minLevel = 0;
    int maxLevel = 0;
    float waitTime = 0;
    float stepTime = 0;
    int choice = 0;
    std::vector<std::shared_ptr<TEnemy>> group;
    int remaining = 0;
    int groupLimit = 0;
    TVector spawnPoint;

    // Where the corner groups come out: top left, bottom left, top right, bottom right.
    static constexpr int CornerCount = 4;
    static TVector corner(int index);
    // The snake wave starts its heads a little nearer the middle line.
    static TVector innerCorner(int index);
    // Calls make(x, y) at each corner, in the corner order.
    template <class Make> static void atCorners(Make&& make) {
        for (int i = 0; i < CornerCount; ++i) {
            const TVector at = corner(i);
            make(at.x, at.y);
        }
    }

protected:
    // The waiting step: true in the update whose countdown reaches zero.
    bool waitIsOver(float dt);
    // The same for the patterns that ignore the lock: the next wait is set and the pattern starts.
    bool startAfterWait(float dt, float wait);
    // The stepping step: true, and the interval set again, in the update whose countdown falls below zero.
    bool stepIsDue(float dt, float interval);
    void track(const std::shared_ptr<TEnemy>& enemy);
    // The waiting step of the waves that take the lock: the wait starts over whether or not the lock was
    // free. True when the wave has taken the lock and started.
    bool startLockedWave(float dt, float wait);
    // Counts off a released group; the wave that is complete releases the lock. True when it ended.
    bool endGroup(int released);
    // The waiting step of the streams: a stream of count starts unless enemies of the one before are still
    // in the arena, and then it looks again sooner.
    void startStream(float dt, int count);

    // The kinds the ring and the stream choose among, by number (1 chaser, 2 dodger, 3 splitter, else
    // snake), and the sound each enters with.
    static std::shared_ptr<TEnemy> createChoice(int choice, float x, float y);
    static const SoundClip& choiceSound(int choice);

    static int level();
    static bool lockIsFree();
    static void takeLock();
    static void releaseLock();
};
