#include "play/arena_border.h"

#include "platform/display.h"
#include "play/particle.h"
#include "shapes/shape.h"

std::shared_ptr<TArenaBorder> TArenaBorder::create(const std::shared_ptr<TShape>& shape) {
    auto border = std::make_shared<TArenaBorder>();
    // Damping 1: the border never slows by itself; it only moves with the scroll.
    border->particle = TParticle::create(static_cast<float>(screenWidth() / 2),
                                         static_cast<float>(screenHeight() / 2), 1.0f, 800.0f);
    border->shape = shape->copy();
    return border;
}

void TArenaBorder::draw() {
    setDrawOrigin(particle->position.x, particle->position.y);
    shape->draw(1); // the faintest halo: the wall should frame the arena, not outshine it
}
