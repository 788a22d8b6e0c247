// TGrid: the deformable glowing grid behind the arena: 33 x 21 spring points, each pulled back to its own
// rest position, pushed away by shots, shields and bombs and sucked in by gravity wells.
#pragma once

#include "play/particle.h"

#include <array>
#include <cstdint>
#include <memory>

class TGrid {
public:
    static constexpr int Columns = 33;
    static constexpr int Rows = 21;
    static constexpr float Spacing = 32;

    static std::shared_ptr<TGrid> create();

    void update(float dt);
    void draw(); // with the drawing origin at the arena's top-left corner
    // Both take screen coordinates.
    void push(float x, float y, float radius);
    void pull(float x, float y);

    // Positions change only in create and update; owners push through acceleration and velocity.
    std::array<std::array<TParticle, Rows>, Columns> points; // [column][row]
    bool enabled = true;
    float fade = 1.0f;

private:
    // The interior points by the square of the arena they stand in now, a grid spacing on each side, so
    // that a push looks only at the points its own square can reach: with eight times the shots, the
    // points are pushed far enough from home that whole rows and columns reach everywhere.
    static constexpr int SquareColumns = 32, SquareRows = 20;
    static constexpr int InteriorPoints = (Columns - 2) * (Rows - 2);
    std::array<uint16_t, SquareColumns * SquareRows + 1> squareStart{};
    std::array<uint16_t, InteriorPoints> pointsBySquare{}; // column * Rows + row
    bool anyPointLost = false; // one is not finite: every push looks at every point

    void sortPointsIntoSquares();
    void pushPoint(TParticle& point, float centreX, float centreY, float radius);
};
