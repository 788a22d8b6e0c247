// The eleven spawn patterns, in the order the level director holds and steps them. That order decides
// which wave gets the wave lock when several want it in the same frame.
//
//   single enemies and pairs (patterns_single.cpp): trickle 1-10, dodger pair 3-10, well 4-12
//   corner waves (patterns_corner.cpp):              dodger wave 8-20, chaser wave 9-20, snake wave 10-20,
//                                                    swarm 15-25
//   around the craft and held (patterns_ring.cpp):  ring 10-20, fortress 10-20
//   streams (patterns_stream.cpp):                   stream 11-20, dasher 13-20
#pragma once

#include "enemies/spawn_pattern.h"

// Single wanderers, and from level 2 a wanderer and a chaser, every three seconds.
class TTricklePattern : public TSpawnPattern {
public:
    void update(float dt) override;
};

// A dodger, and from level 4 a dodger and a splitter, every three seconds.
class TDodgerPattern : public TSpawnPattern {
public:
    void update(float dt) override;
};

// A gravity well every ten seconds while fewer than its limit of its own wells are alive.
class TWellPattern : public TSpawnPattern {
public:
    TWellPattern() { groupLimit = 1; }
    void update(float dt) override;
};

// Fours of dodgers from the corners, 0.4 s apart.
class TDodgerWavePattern : public TSpawnPattern {
public:
    void update(float dt) override;
};

// Fours of chasers from the corners, 0.3 s apart.
class TChaserWavePattern : public TSpawnPattern {
public:
    TChaserWavePattern() { waitTime = 3.0f; } // the first wave comes a little after its level starts
    void update(float dt) override;
};

// A ring of chasers, dodgers, splitters or snakes, 400 from the craft all round.
class TRingPattern : public TSpawnPattern {
public:
    void update(float dt) override;
};

// Four wells in the corners, each guarded by a chaser, a dodger and a splitter; holds the wave lock until
// all four wells are gone.
class TFortressPattern : public TSpawnPattern {
public:
    void update(float dt) override;
};

// Single chasers (from level 15 also dodgers and splitters) at random points, 0.4 s apart.
class TStreamPattern : public TSpawnPattern {
public:
    void update(float dt) override;
};

// Fours of snakes from the inner corners, 0.1 s apart.
class TSnakeWavePattern : public TSpawnPattern {
public:
    void update(float dt) override;
};

// Two hundred swarmers from the corners over five seconds, under one looping whine.
class TSwarmPattern : public TSpawnPattern {
public:
    TSwarmPattern() { waitTime = 3.0f; } // the first wave comes a little after its level starts
    void update(float dt) override;
    void runEnded() override;

    int loopChannel = 0; // the effects-pool channel the whine loops on

private:
    void stopWhine();
};

// Dashers from random corners, 0.8 s apart.
class TDasherPattern : public TSpawnPattern {
public:
    void update(float dt) override;
};
