// TSpark: a short-lived glowing streak; explosions, exhaust and impacts are made of them.
#pragma once

#include "play/particle.h"
#include "play/vector.h"

#include <memory>

class TSpark {
public:
    // The spark's particle is appended to the particles list; the caller appends the spark to sparks. The
    // particle is part of the spark: the thousands of a busy arena are pulled, pushed and integrated by
    // the list, and one object each is half the memory to go through.
    static std::shared_ptr<TSpark> create(const TVector& position, float vx, float vy, int red, int green,
                                          int blue, float life, float damping);

    void update(float dt);
    void draw();

    TParticle particle;
    float life = 0;
    float alpha = 1.0f;
    float fadeRate = 0;
    int red = 0, green = 0, blue = 0;
};

// Throws a ring of count sparks out of position. A red of 0 gives the whole ring one random colour.
void burst(const TVector& position, int count, float minSpeed, float maxSpeed, int red, int green, int blue);
