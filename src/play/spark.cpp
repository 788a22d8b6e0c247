#include "play/spark.h"

#include "app/game.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/particle.h"
#include "play/recycler.h"
#include "shapes/shape.h"

#include <cmath>

namespace {
constexpr float sparkMaxSpeed = 800;
// Removed while still faintly lit: the last tenth of a second would hardly show and only costs lines.
constexpr float sparkEndLife = 0.1f;
constexpr float burstLife = 1.0f;
constexpr float burstDamping = 0.95f;
} // namespace

std::shared_ptr<TSpark> TSpark::create(const TVector& position, const TVector& velocity,
                                       const TSparkLook& look) {
    auto spark = std::allocate_shared<TSpark>(TInArrivalOrder<TSpark>{});
    spark->particle = TParticle(position.x, position.y, look.damping, sparkMaxSpeed);
    spark->particle.velocity = velocity;
    spark->life = look.life;
    // A spark made without life is gone on its first update; it must not carry an infinite fade meanwhile.
    spark->fadeRate = look.life > 0 ? 1.0f / look.life : 0.0f;
    spark->red = look.red;
    spark->green = look.green;
    spark->blue = look.blue;
    // Listed through the spark's own count: the spark lives while its particle is listed.
    game->particles.add(std::shared_ptr<TParticle>(spark, &spark->particle));
    game->sparks.add(spark);
    return spark;
}

void TSpark::update(float dt) {
    alpha -= fadeRate * dt;
    life -= dt;
    if (life < sparkEndLife) {
        game->sparks.remove(this);
        game->particles.remove(&particle);
    }
}

void TSpark::draw() {
    // The streak runs over the last frame's travel, so a fast spark is drawn longer than a slow one.
    setDrawOrigin(0, 0);
    setDrawColor(red, green, blue);
    setDrawAlpha(alpha);
    drawGlowSegment(game->glowImage, 2, particle.previousPosition, particle.position);
}

void burst(const TVector& position, const TBurst& ring) {
    if (ring.count <= 0) return;
    TSparkLook look{ring.red, ring.green, ring.blue, burstLife, burstDamping};
    if (look.red == 0) {
        look.red = randomInteger(100, 255);
        look.green = randomInteger(100, 255);
        look.blue = randomInteger(100, 255);
    }
    // Whole degrees: with most counts the ring does not close evenly, and the gap is part of the look.
    const int step = 359 / ring.count;
    float angle = static_cast<float>(randomReal(0, 359));
    for (int i = 0; i < ring.count; ++i) {
        const float speed = static_cast<float>(randomReal(ring.minSpeed, ring.maxSpeed));
        const double radians = degreesToRadians(angle);
        const float vx = speed * static_cast<float>(std::sin(radians));
        const float vy = speed * static_cast<float>(std::cos(radians));
        TSpark::create(position, {vx, vy}, look);
        angle += static_cast<float>(step);
    }
}
