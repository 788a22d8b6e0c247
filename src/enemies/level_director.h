// TLevelDirector: the level number and the play time spent in it; drives the spawn patterns and ends the
// run after level 20. Holds the lock that lets only one large wave run at a time.
#pragma once

#include <memory>
#include <vector>

class TSpawnPattern;

class TLevelDirector {
public:
    static std::shared_ptr<TLevelDirector> create();

    void reset();
    void update(float dt);

    int level = 1;
    float levelTime = 0;
    std::vector<std::shared_ptr<TSpawnPattern>> patterns;
    int waveBusy = 0;
};
