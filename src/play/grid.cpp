#include "play/grid.h"

#include "app/game.h"
#include "platform/display.h"
#include "shapes/shape.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float pointDamping = 0.9f;
constexpr float pointMaxSpeed = 2500.0f;
constexpr float springStrength = 20.0f;
constexpr float pullRadius = 800.0f;
constexpr float pullStrength = 5.0f;
constexpr float fadeStep = 0.03f; // per drawn frame: about 34 frames from full to nothing
constexpr float arenaWidth = 1024.0f;
constexpr float arenaHeight = 640.0f;
constexpr float wallInset = 2.0f;
// Closer than this a point has no usable direction away from (or towards) the centre.
constexpr float directionless = 0.001f;

// The grid lives in arena coordinates: screen coordinates minus the arena's top-left corner.
TVector arenaCorner() {
    return {game->arenaLeft(), game->arenaTop()};
}

float restX(int column) {
    return static_cast<float>(column) * TGrid::Spacing;
}
float restY(int row) {
    return static_cast<float>(row) * TGrid::Spacing;
}

// The square of a coordinate, clamped to the grid of squares; a NaN lands in the first.
int squareOf(float coordinate, int count) {
    const float square = coordinate / TGrid::Spacing;
    if (!(square > 0)) return 0;
    if (square >= static_cast<float>(count - 1)) return count - 1;
    return static_cast<int>(square);
}
} // namespace

std::shared_ptr<TGrid> TGrid::create() {
    auto grid = std::make_shared<TGrid>();
    for (int i = 0; i < Columns; ++i)
        for (int j = 0; j < Rows; ++j) {
            TParticle& point = grid->points[i][j];
            point.position.set(restX(i), restY(j));
            point.previousPosition = point.position;
            point.damping = pointDamping;
            point.maxSpeed = pointMaxSpeed;
        }
    grid->sortPointsIntoSquares();
    return grid;
}

// Only the interior moves: the outer ring stays pinned under the arena border.
void TGrid::update(float dt) {
    if (!enabled) return;
    for (int i = 1; i < Columns - 1; ++i)
        for (int j = 1; j < Rows - 1; ++j) {
            TParticle& point = points[i][j];
            // Each point is tied only to its own rest position; neighbours do not pull on each other.
            point.acceleration.x += (restX(i) - point.position.x) * springStrength;
            point.acceleration.y += (restY(j) - point.position.y) * springStrength;
            point.update(dt, true);
            // Back inside the walls without touching the velocity: the spring brings it home.
            if (point.position.x <= 0) point.position.x = wallInset;
            if (point.position.x >= arenaWidth) point.position.x = arenaWidth - wallInset;
            if (point.position.y <= 0) point.position.y = wallInset;
            if (point.position.y >= arenaHeight) point.position.y = arenaHeight - wallInset;
        }
    sortPointsIntoSquares();
}

void TGrid::sortPointsIntoSquares() {
    std::array<uint16_t, SquareColumns * SquareRows> squareOfPoint{};
    squareStart.fill(0);
    anyPointLost = false;
    int k = 0;
    for (int i = 1; i < Columns - 1; ++i)
        for (int j = 1; j < Rows - 1; ++j, ++k) {
            const TVector& at = points[i][j].position;
            anyPointLost = anyPointLost || !std::isfinite(at.x) || !std::isfinite(at.y);
            const int square = squareOf(at.y, SquareRows) * SquareColumns + squareOf(at.x, SquareColumns);
            squareOfPoint[k] = static_cast<uint16_t>(square);
            ++squareStart[square + 1];
        }
    for (size_t square = 1; square < squareStart.size(); ++square)
        squareStart[square] += squareStart[square - 1];
    std::array<uint16_t, SquareColumns * SquareRows> filled{};
    k = 0;
    for (int i = 1; i < Columns - 1; ++i)
        for (int j = 1; j < Rows - 1; ++j, ++k) {
            const int square = squareOfPoint[k];
            pointsBySquare[squareStart[square] + filled[square]++] = static_cast<uint16_t>(i * Rows + j);
        }
}

void TGrid::push(float x, float y, float radius) {
    if (!enabled) return;
    const TVector corner = arenaCorner();
    const float centreX = x - corner.x, centreY = y - corner.y;
    if (anyPointLost || !std::isfinite(centreX) || !std::isfinite(centreY) || !std::isfinite(radius)) {
        for (int i = 1; i < Columns - 1; ++i)
            for (int j = 1; j < Rows - 1; ++j)
                pushPoint(points[i][j], centreX, centreY, radius);
        return;
    }
    // A unit wider than the push: the point test's float differences may round across a square's edge.
    const float reach = std::abs(radius) + 1;
    const int left = squareOf(centreX - reach, SquareColumns),
              right = squareOf(centreX + reach, SquareColumns);
    const int top = squareOf(centreY - reach, SquareRows), bottom = squareOf(centreY + reach, SquareRows);
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column) {
            const int square = row * SquareColumns + column;
            for (int k = squareStart[square]; k < squareStart[square + 1]; ++k) {
                const int point = pointsBySquare[k];
                pushPoint(points[point / Rows][point % Rows], centreX, centreY, radius);
            }
        }
}

void TGrid::pushPoint(TParticle& point, float centreX, float centreY, float radius) {
    const float dx = point.position.x - centreX;
    const float dy = point.position.y - centreY;
    // Most points looked at still lie outside: rejected before the root.
    if (std::fabs(dx) >= radius || std::fabs(dy) >= radius) return;
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance >= radius || distance <= directionless) return;
    const float strength = (radius - distance) * radius * 2.0f;
    point.acceleration.x += dx / distance * strength;
    point.acceleration.y += dy / distance * strength;
}

void TGrid::pull(float x, float y) {
    if (!enabled) return;
    const TVector corner = arenaCorner();
    const float centreX = x - corner.x, centreY = y - corner.y;
    for (int i = 1; i < Columns - 1; ++i)
        for (int j = 1; j < Rows - 1; ++j) {
            TParticle& point = points[i][j];
            const float dx = centreX - point.position.x;
            const float dy = centreY - point.position.y;
            const float distance = std::sqrt(dx * dx + dy * dy);
            // A point sitting on the centre has nowhere to be pulled: it is skipped, as in push, rather
            // than given a NaN direction.
            if (distance >= pullRadius || distance <= directionless) continue;
            const float strength = (pullRadius - distance) * pullStrength;
            point.acceleration.x += dx / distance * strength;
            point.acceleration.y += dy / distance * strength;
        }
}

void TGrid::draw() {
    setDrawAlpha(fade);
    // The fade changes after the opacity is set, so it shows from the next frame on.
    if (!enabled) {
        if (fade > 0)
            fade -= fadeStep;
        else
            return;
    } else if (fade < 1) {
        fade += fadeStep;
    }
    setDrawColor(40, 40, 70);
    const Picture& glow = game->glowImage;
    // The bottom row's and right column's own segments are left out: the border outline lies over them.
    for (int j = 0; j < Rows - 1; ++j)
        for (int i = 0; i < Columns - 1; ++i) {
            const TVector& here = points[i][j].position;
            const TVector& right = points[i + 1][j].position;
            const TVector& below = points[i][j + 1].position;
            drawGlowSegment(glow, 2, here, right);
            drawGlowSegment(glow, 2, here, below);
        }
}
