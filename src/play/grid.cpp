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

// Whether any coordinate in [low, high] lies strictly within radius of centre, by the same float
// differences the point test takes, so no point that test would take is passed over. Written as
// negations so that a NaN on either side keeps the span, as the point test would.
bool spanReaches(float low, float high, float centre, float radius) {
    return !(high - centre <= -radius) && !(low - centre >= radius);
}

// Grows [low, high] to take in value; a NaN opens it to everything, so no push can skip that point.
void widenSpan(float& low, float& high, float value) {
    if (std::isnan(value)) {
        low = -INFINITY;
        high = INFINITY;
        return;
    }
    low = std::min(low, value);
    high = std::max(high, value);
}
} // namespace

std::shared_ptr<TGrid> TGrid::create() {
    auto grid = std::make_shared<TGrid>();
    for (int i = 0; i < Columns; ++i)
        for (int j = 0; j < Rows; ++j) {
            TParticle& point = grid->points[i][j];
            point.position.set(restX(i), restY(j));
            point.previousPosition.setFrom(point.position);
            point.damping = pointDamping;
            point.maxSpeed = pointMaxSpeed;
        }
    grid->enabled = true;
    grid->fade = 1.0f;
    grid->measureSpans();
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
    measureSpans();
}

void TGrid::measureSpans() {
    for (auto& span : columnSpans)
        span = {INFINITY, -INFINITY};
    for (auto& span : rowSpans)
        span = {INFINITY, -INFINITY};
    for (int i = 1; i < Columns - 1; ++i)
        for (int j = 1; j < Rows - 1; ++j) {
            const TVector& at = points[i][j].position;
            widenSpan(columnSpans[i].low, columnSpans[i].high, at.x);
            widenSpan(rowSpans[j].low, rowSpans[j].high, at.y);
        }
}

void TGrid::push(float x, float y, float radius) {
    if (!enabled) return;
    const TVector corner = arenaCorner();
    const float centreX = x - corner.x, centreY = y - corner.y;
    // Every live shot pushes every frame with a radius of a column or two, so most of the grid lies out of
    // reach: only the columns and rows whose points can fall inside the push's square are visited.
    std::array<int, Rows> reachedRows;
    int reachedRowCount = 0;
    for (int j = 1; j < Rows - 1; ++j)
        if (spanReaches(rowSpans[j].low, rowSpans[j].high, centreY, radius))
            reachedRows[reachedRowCount++] = j;
    for (int i = 1; i < Columns - 1; ++i) {
        if (!spanReaches(columnSpans[i].low, columnSpans[i].high, centreX, radius)) continue;
        for (int k = 0; k < reachedRowCount; ++k) {
            TParticle& point = points[i][reachedRows[k]];
            const float dx = point.position.x - centreX;
            const float dy = point.position.y - centreY;
            // Within the reached columns and rows most points still lie outside: rejected before the root.
            if (std::fabs(dx) >= radius || std::fabs(dy) >= radius) continue;
            const float distance = std::sqrt(dx * dx + dy * dy);
            if (distance >= radius || distance <= directionless) continue;
            const float strength = (radius - distance) * radius * 2.0f;
            point.acceleration.x += dx / distance * strength;
            point.acceleration.y += dy / distance * strength;
        }
    }
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
