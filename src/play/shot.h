// TShot: one projectile of the craft. It flies for at most five seconds, ends at the arena walls and on
// the first enemy it touches, and pushes the grid aside as it goes.
#pragma once

#include "play/list_place.h"
#include "play/vector.h"

#include <memory>

struct TParticle;
class TShape;

class TShot {
public:
    // Appends the shot to the shots list and its particle to the particles list.
    static std::shared_ptr<TShot> create(const TVector& position, const TVector& velocity);

    void checkBounds(float minX, float maxX, float minY, float maxY);
    void update(float dt);
    void draw();

    std::shared_ptr<TParticle> particle;
    std::shared_ptr<TShape> shape;
    float life = 5.0f;
    TListPlace listPlace;

private:
    enum class HitResult { Missed, Struck, Absorbed };
    HitResult hitFirstEnemy(float dt);
    void end(); // the orange burst, then off the lists
};
