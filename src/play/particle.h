// TParticle: the point mass that moves everything in the arena (craft, shots, sparks, shockwaves,
// enemies, the arena border and the grid points).
//
// Owners keep references to the four vectors and write into them directly: a force goes into
// acceleration for one frame, a kick straight into velocity.
#pragma once

#include <memory>

#include "play/list_place.h"
#include "play/vector.h"

struct TParticle {
    TVector position;
    TVector previousPosition; // where the last update started
    TVector acceleration;     // cleared by every update
    TVector velocity;         // units per second
    float maxSpeed = 0;       // units per second
    float damping = 1;        // per update, not scaled by dt
    // Set by the craft on its own particle only: it stops short of the walls instead of bouncing, and
    // holds the view still on the axis it is stopped on.
    bool keepsMargin = false;
    TListPlace listPlace;

    TParticle() = default;
    TParticle(float x, float y, float damping, float maxSpeed);
    static std::shared_ptr<TParticle> create(float x, float y, float damping, float maxSpeed);

    void update(float dt, bool fixedToWorld);
    void confine(float minX, float maxX, float minY, float maxY);
    // Adds a pull of the given strength toward target for this frame. Right on the target there is no
    // direction to pull in, and nothing is added rather than a NaN.
    void pullToward(const TVector& target, float strength);

private:
    void stopInsideMargin(float minX, float maxX, float minY, float maxY);
    void bounceOffEdges(float minX, float maxX, float minY, float maxY);
};
