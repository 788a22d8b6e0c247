#include "play/particle.h"

#include "play/recycler.h"
#include "play/scroll.h"

namespace {
// How far inside the walls the craft stops, about its own radius, so its outline never crosses the border.
constexpr float craftWallMargin = 12;

// Puts one coordinate back on the nearer edge of [low, high]; true when it was outside.
bool pullIntoRange(float& coordinate, float low, float high) {
    if (coordinate < low) {
        coordinate = low;
        return true;
    }
    if (coordinate > high) {
        coordinate = high;
        return true;
    }
    return false;
}
} // namespace

TParticle::TParticle(float x, float y, float damping, float maxSpeed)
    : position{x, y}, previousPosition{x, y}, maxSpeed(maxSpeed), damping(damping) {}

std::shared_ptr<TParticle> TParticle::create(float x, float y, float damping, float maxSpeed) {
    return std::allocate_shared<TParticle>(TRecycler<TParticle>{}, x, y, damping, maxSpeed);
}

void TParticle::update(float dt, bool fixedToWorld) {
    previousPosition = position;
    velocity.x += acceleration.x * dt;
    velocity.y += acceleration.y * dt;
    // The order matters to everything tuned against it: this frame's force is damped along with the rest.
    velocity.scale(damping);
    // Only strictly faster than the cap is cut: shots are launched at exactly their cap and must keep it.
    if (velocity.length() > maxSpeed) velocity.normalize().scale(maxSpeed);
    position.x += velocity.x * dt;
    position.y += velocity.y * dt;
    acceleration.set(0, 0);
    if (!fixedToWorld) position.add(worldScrollOffset());
}

void TParticle::confine(float minX, float maxX, float minY, float maxY) {
    if (keepsMargin) {
        stopInsideMargin(minX, maxX, minY, maxY);
    } else {
        bounceOffEdges(minX, maxX, minY, maxY);
    }
}

void TParticle::pullToward(const TVector& target, float strength) {
    const TVector toward = target - position;
    if (toward.length() == 0) return;
    acceleration.add(toward.normalized() * strength);
}

void TParticle::stopInsideMargin(float minX, float maxX, float minY, float maxY) {
    TVector& scroll = worldScrollOffset();
    if (pullIntoRange(position.x, minX + craftWallMargin, maxX - craftWallMargin)) {
        velocity.x = 0;
        scroll.x = 0;
    }
    if (pullIntoRange(position.y, minY + craftWallMargin, maxY - craftWallMargin)) {
        velocity.y = 0;
        scroll.y = 0;
    }
}

void TParticle::bounceOffEdges(float minX, float maxX, float minY, float maxY) {
    if (pullIntoRange(position.x, minX, maxX)) velocity.x = -velocity.x;
    if (pullIntoRange(position.y, minY, maxY)) velocity.y = -velocity.y;
}
