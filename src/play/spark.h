// TSpark: a short-lived glowing streak; explosions, exhaust and impacts are made of them.
#pragma once

#include "play/list_place.h"
#include "play/particle.h"
#include "play/vector.h"

#include <memory>

// A spark's colour, its life in seconds and the share of its speed it keeps each frame.
struct TSparkLook {
    int red = 0, green = 0, blue = 0;
    float life = 0;
    float damping = 1;
};

class TSpark {
public:
    // Made and listed, like every play object: its particle in particles, then the spark in sparks. The
    // particle is part of the spark: the thousands of a busy arena are pulled, pushed and integrated by
    // the list, and one object each is half the memory to go through.
    static std::shared_ptr<TSpark> create(const TVector& position, const TVector& velocity,
                                          const TSparkLook& look);

    void update(float dt);
    void draw();

    TParticle particle;
    float life = 0;
    float alpha = 1.0f;
    float fadeRate = 0;
    int red = 0, green = 0, blue = 0;
    TListPlace listPlace;
};

// A ring of sparks thrown out of a point; a red of 0 gives the whole ring one random colour.
struct TBurst {
    int count = 0;
    float minSpeed = 0, maxSpeed = 0;
    int red = 0, green = 0, blue = 0;
};
constexpr TBurst ExplosionBurst{.count = 30, .minSpeed = 200, .maxSpeed = 1600}; // an enemy's
void burst(const TVector& position, const TBurst& ring);
