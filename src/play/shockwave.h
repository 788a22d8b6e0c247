// TShockwave: the expanding flash of a bomb, of the craft's death and of a gravity well. It shoves sparks
// and enemies once, when it is made; bomb and death waves also destroy every enemy they reach.
#pragma once

#include "play/list_place.h"
#include "play/vector.h"

#include <memory>

struct TParticle;

class TShockwave {
public:
    // Appends the wave to the shockwaves list; the shoves are scaled by dt.
    static std::shared_ptr<TShockwave> create(const TVector& position, float maxRadius, bool destroysEnemies,
                                              float dt, int pushCraft);

    void update(float dt);
    void draw();

    std::shared_ptr<TParticle> particle; // the centre; not in the particles list, so it does not scroll
    float radius = 0;
    float maxRadius = 0;
    bool destroysEnemies = false;
    float alpha = 1.0f;
    TListPlace listPlace;

private:
    void destroyEnemiesWithin(); // bomb and death waves: no score, no kill count
};
