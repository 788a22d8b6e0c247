// TGrid: the deformable glowing grid behind the arena: 33 x 21 spring points, each pulled back to its own
// rest position, pushed away by shots, shields and bombs and sucked in by gravity wells.
#pragma once

#include "play/particle.h"

#include <array>
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
    struct TSpan {
        float low, high;
    };
    // Where each interior column lies across x and each interior row down y, as the points stand now, so
    // that a push looks only at the columns and rows its square can reach.
    std::array<TSpan, Columns> columnSpans{};
    std::array<TSpan, Rows> rowSpans{};

    void measureSpans();
};
