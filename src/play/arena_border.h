// TArenaBorder: the outline of the 1024 x 640 arena. Its particle scrolls with everything else, and its
// position is the centre of the arena: the arena rectangle and the grid's corner follow from it each frame.
#pragma once

#include <memory>

struct TParticle;
class TShape;

class TArenaBorder {
public:
    static constexpr float HalfWidth = 512;
    static constexpr float HalfHeight = 320;

    // Starts at the screen centre. The caller adds the particle to the particles list.
    static std::shared_ptr<TArenaBorder> create(const std::shared_ptr<TShape>& shape);

    void draw();

    std::shared_ptr<TParticle> particle;
    std::shared_ptr<TShape> shape; // own copy of the border shape, centred on the origin
};
