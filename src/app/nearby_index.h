// TNearbyIndex: which entries of a world list may be near a point, so that a pass where every shot looks
// for an enemy, or every sucking well for sparks, looks at the few in reach instead of the whole list.
// Eight times the arena's load is 64 times the pairs; with the index it is eight times the cells' worth.
//
// It answers exactly what a walk over the whole list would have matched, never less:
// - An index is open for one pass, during which the game moves none of the entries it indexes (the
//   shots pass moves no enemy, the enemies pass no spark) or says which it moved, and those are then
//   candidates of every query. It holds the list's order meanwhile, so every entry keeps its slot; it is
//   built from where the entries stand at its first query, and may leave out entries that can match
//   nothing until the pass ends.
// - It is conservative: an entry whose position or own reach is not finite lands in no cell and is a
//   candidate of every query, and so is every entry that joined the list after the build. A query from
//   a point that is not finite, or with a reach that is not, gets the whole list (a NaN distance passes
//   every "closer than" test that is written as "not at least as far"). Outside the arena, entries and
//   queries are clamped to the edge cells, which keeps the cell of a point in order with its coordinate.
// - The walk in list order visits candidates by slot, so where the game takes the first match or adds up
//   forces in one sum, it sees them in the order the whole walk would have.
#pragma once

#include "app/world_list.h"
#include "play/vector.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

template <class T> class TNearbyIndex {
public:
    using PositionOf = const TVector& (*)(const T&);
    // How far an entry reaches out of its own position (an enemy's radius); null for points.
    using ReachOf = float (*)(const T&);

    // Entries for which this is false at the build are left out: the pass guarantees that they can match
    // no query before it ends (an enemy that is dying stays dying). Null keeps every entry.
    using Counts = bool (*)(const T&);

    TNearbyIndex(PositionOf positionOf, ReachOf reachOf, Counts counts = nullptr)
        : positionOf_(positionOf), reachOf_(reachOf), counts_(counts) {}

    // Opens the index over list for one pass; the grid covers the arena whose top left corner is given.
    void open(TWorldList<T>& list, float left, float top) {
        list_ = &list;
        list.holdOrder();
        left_ = left;
        top_ = top;
        built_ = false;
    }

    void close() {
        if (!list_) return;
        list_->releaseOrder();
        list_ = nullptr;
    }

    bool isOpen() const { return list_ != nullptr; }

    // Says that entry has left the place the build found it in: from now until the index closes, it is
    // a candidate of every query. For passes that move a few of their entries (separation, a snake's
    // segments following their head).
    void moved(const T& entry) {
        if (!list_ || !built_) return; // a build to come reads where it is then
        const size_t slot = list_->slotOf(&entry);
        if (slot >= builtSlots_ || inAnywhere_[slot]) return; // joiners and these are candidates anyway
        inAnywhere_[slot] = 1;
        anyMoved_ = true;
        anywhere_.push_back(static_cast<uint32_t>(slot));
    }

    // Calls visit(T&) for every live entry that may lie within reach of at (the entry's own reach added),
    // in no particular order. For sums where each entry gets one term of its own.
    template <class Visit> void forEachNear(const TVector& at, float reach, Visit&& visit) {
        TBox box;
        if (!boxAround(at, reach, box)) {
            list_->forEach(visit);
            return;
        }
        // Of the box, only the cells that come within reach of the circle: four in five of them for a
        // wide reach. The edge cells reach out for ever, as entries beyond the walls are clamped into them.
        const float reachSquared = box.reach * box.reach;
        for (int cy = box.y0; cy <= box.y1; ++cy) {
            const float gapY = gapTo(at.y, top_, cy, rows);
            for (int cx = box.x0; cx <= box.x1; ++cx) {
                const float gapX = gapTo(at.x, left_, cx, columns);
                if (gapX * gapX + gapY * gapY > reachSquared) continue;
                const auto cell = static_cast<size_t>(cy * columns + cx);
                for (uint32_t i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i) {
                    const uint32_t slot = placed_[i].slot;
                    if (anyMoved_ && inAnywhere_[slot]) continue; // moved: visited from anywhere_, once
                    if (T* entry = list_->atSlot(slot)) visit(*entry);
                }
            }
        }
        // By count, not by iterator: a visit may move an entry, which appends here.
        for (size_t i = 0; i < anywhere_.size(); ++i)
            if (T* entry = list_->atSlot(anywhere_[i])) visit(*entry);
        visitJoined([&](T& entry) {
            visit(entry);
            return false;
        });
    }

    // The same candidates in list order, stopping after the first call of visit(T&) that returns true.
    template <class Visit> void forEachNearInOrder(const TVector& at, float reach, Visit&& visit) {
        TBox box;
        if (!boxAround(at, reach, box)) {
            list_->forEachUntil(visit);
            return;
        }
        std::fill(marked_.begin(), marked_.end(), 0);
        for (int cy = box.y0; cy <= box.y1; ++cy)
            for (int cx = box.x0; cx <= box.x1; ++cx) {
                const auto cell = static_cast<size_t>(cy * columns + cx);
                for (uint32_t i = cellStart_[cell]; i < cellStart_[cell + 1]; ++i)
                    if (mayReach(placed_[i], at, reach, box)) mark(placed_[i].slot);
            }
        for (const uint32_t slot : anywhere_) // marks are made before any visit
            mark(slot);
        for (size_t word = 0; word < marked_.size(); ++word)
            for (uint64_t bits = marked_[word]; bits != 0; bits &= bits - 1) {
                const size_t slot = word * 64 + static_cast<size_t>(std::countr_zero(bits));
                T* entry = list_->atSlot(slot);
                if (entry && visit(*entry)) return;
            }
        visitJoined(visit);
    }

    // A 32 x 20 grid of 32-unit cells over the 1024 x 640 arena.
    static constexpr float cellSize = 32;
    static constexpr int columns = 32;
    static constexpr int rows = 20;

private:
    struct TBox {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        float reach = 0;  // the query's reach with the entries' widest and the margin
        float margin = 0; // for the game's rounding
    };

    // An entry where the build found it, kept beside its cell's others so that the walk in order can
    // pass over those out of reach without going to the entries themselves.
    struct TPlaced {
        float x = 0, y = 0, reach = 0;
        uint32_t slot = 0;
    };

    static bool mayReach(const TPlaced& placed, const TVector& at, float reach, const TBox& box) {
        const float dx = placed.x - at.x, dy = placed.y - at.y;
        const float limit = reach + placed.reach + box.margin;
        return !(dx * dx + dy * dy > limit * limit);
    }

    // The cells a query can touch; false when the query is not finite and must see everything.
    bool boxAround(const TVector& at, float reach, TBox& box) {
        if (!built_) build();
        const float span = reach + widestReach_;
        if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(span)) return false;
        // The game measures with float square roots, and cell bounds are rounded too: a unit and a little
        // more, growing with the coordinates, keeps all their rounding inside.
        const float size =
            std::abs(span) + std::abs(at.x) + std::abs(at.y) + std::abs(left_) + std::abs(top_);
        box.margin = size * 1.0e-4f + 1;
        box.reach = span + box.margin;
        box.x0 = column(at.x - box.reach);
        box.x1 = column(at.x + box.reach);
        box.y0 = row(at.y - box.reach);
        box.y1 = row(at.y + box.reach);
        return true;
    }

    // How far a coordinate lies outside cell `cell` of `count` along one axis; 0 inside.
    static float gapTo(float coordinate, float origin, int cell, int count) {
        if (cell > 0) {
            const float low = origin + static_cast<float>(cell) * cellSize;
            if (coordinate < low) return low - coordinate;
        }
        if (cell < count - 1) {
            const float high = origin + static_cast<float>(cell + 1) * cellSize;
            if (coordinate > high) return coordinate - high;
        }
        return 0;
    }

    // Clamped before conversion: an infinite coordinate has no integer cell.
    static int clampedCell(float offset, int count) {
        const float cell = offset / cellSize;
        if (!(cell > 0)) return 0;
        if (cell >= static_cast<float>(count - 1)) return count - 1;
        return static_cast<int>(cell); // positive: truncation is the floor
    }
    int column(float x) const { return clampedCell(x - left_, columns); }
    int row(float y) const { return clampedCell(y - top_, rows); }

    void build() {
        built_ = true;
        builtSlots_ = list_->slotCount();
        widestReach_ = 0;
        anywhere_.clear();
        bySlot_.clear();
        cellStart_.assign(columns * rows + 1, 0);
        inAnywhere_.assign(builtSlots_, 0);
        anyMoved_ = false;
        for (size_t slot = 0; slot < builtSlots_; ++slot) {
            const T* entry = list_->atSlot(slot);
            if (!entry || (counts_ && !counts_(*entry))) continue;
            const TVector& at = positionOf_(*entry);
            const float reach = reachOf_ ? reachOf_(*entry) : 0;
            if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(reach)) {
                anywhere_.push_back(static_cast<uint32_t>(slot));
                inAnywhere_[slot] = 1;
                continue;
            }
            widestReach_ = std::max(widestReach_, reach);
            const auto cell = static_cast<uint32_t>(row(at.y) * columns + column(at.x));
            bySlot_.push_back({{at.x, at.y, reach, static_cast<uint32_t>(slot)}, cell});
            ++cellStart_[cell + 1];
        }
        for (size_t cell = 0; cell < columns * rows; ++cell)
            cellStart_[cell + 1] += cellStart_[cell];
        placed_.resize(cellStart_.back());
        cellFill_.assign(cellStart_.begin(), cellStart_.end() - 1);
        for (const TInCell& entry : bySlot_)
            placed_[cellFill_[entry.cell]++] = entry.placed;
        marked_.assign((builtSlots_ + 63) / 64, 0);
    }

    void mark(uint32_t slot) { marked_[slot / 64] |= uint64_t{1} << (slot % 64); }

    // Entries that joined after the build, in list order, including any that join during this walk.
    template <class Visit> void visitJoined(Visit&& visit) {
        for (size_t slot = builtSlots_; slot < list_->slotCount(); ++slot) {
            T* entry = list_->atSlot(slot);
            if (entry && visit(*entry)) return;
        }
    }

    PositionOf positionOf_;
    ReachOf reachOf_;
    Counts counts_;
    TWorldList<T>* list_ = nullptr;
    float left_ = 0, top_ = 0;
    bool built_ = false;
    size_t builtSlots_ = 0;
    float widestReach_ = 0;
    struct TInCell {
        TPlaced placed;
        uint32_t cell = 0;
    };
    std::vector<TInCell> bySlot_; // the build's first pass, in slot order
    // By cell: placed_[cellStart_[c] .. cellStart_[c + 1]) are cell c's entries, in slot order.
    std::vector<TPlaced> placed_;
    std::vector<uint32_t> cellStart_, cellFill_;
    std::vector<uint32_t> anywhere_;  // in no cell: candidates of every query
    std::vector<uint8_t> inAnywhere_; // by slot: in anywhere_, from the build or since a move
    bool anyMoved_ = false;           // some entry has left its cell for anywhere_
    std::vector<uint64_t> marked_;    // the ordered walk's candidates, one bit per slot
};
