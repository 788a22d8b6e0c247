// TNearbyIndex: which entries of a world list may be near a point, so that a pass where every shot looks
// for an enemy, every sucking well for sparks, or every enemy for its own kind to keep apart from, looks
// at the few in reach instead of the whole list. Eight times the arena's load is 64 times the pairs; with
// the index it is eight times the cells' worth.
//
// It answers exactly what a walk over the whole list would have matched, never less:
// - An index is open for one pass, during which the game moves none of the entries it indexes (the
//   shots pass moves no enemy, the enemies pass no spark) or says which it moved, right after moving
//   it; from then on the entry is found where it has gone. It holds the list's order meanwhile, so every
//   entry keeps its slot; it is built from where the entries stand at its first query, and may leave out
//   entries that can match nothing until the pass ends.
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

template <class T, int CellSize = 32, int KeyGrids = 1> class TNearbyIndex {
public:
    using PositionOf = const TVector& (*)(const T&);
    // How far an entry reaches out of its own position (an enemy's radius); null for points.
    using ReachOf = float (*)(const T&);

    // Entries for which this is false at the build are left out: the pass guarantees that they can match
    // no query before it ends (an enemy that is dying stays dying). Null keeps every entry.
    using Counts = bool (*)(const T&);
    // A key that never changes for an entry (an enemy's kind), for the walks that want one key only. With
    // KeyGrids above one, keys have cells of their own (key modulo KeyGrids), and such a walk passes over
    // no other key's entries unless two keys share a grid.
    using KeyOf = int (*)(const T&);

    TNearbyIndex(PositionOf positionOf, ReachOf reachOf, Counts counts = nullptr, KeyOf keyOf = nullptr)
        : positionOf_(positionOf), reachOf_(reachOf), counts_(counts), keyOf_(keyOf) {}

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

    // Says that entry has just moved: queries find it where it is now. For passes that move some of their
    // entries (separation, a snake's segments following their head, a dasher's shield).
    void moved(const T& entry) {
        if (!list_ || !built_) return; // a build to come reads where it is then
        const size_t slot = list_->slotOf(&entry);
        if (slot >= builtSlots_) return; // joiners are candidates anyway
        const TVector& at = positionOf_(entry);
        const float reach = reachOf_ ? reachOf_(entry) : 0;
        TPlaced* place = placeOf(slot);
        if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(reach)) {
            if (place) leave(slot);
            if (!listedAnywhere_[slot]) anywhere_.push_back(static_cast<uint32_t>(slot));
            listedAnywhere_[slot] = 1;
            home_[slot] = Anywhere;
            return;
        }
        widestReach_ = std::max(widestReach_, reach);
        const int key = place ? place->key : keyOf_ ? keyOf_(entry) : 0;
        const uint32_t cell = cellOf(at, key);
        // Within its cell an entry is only put where it now stands: most moves in a crowd are small.
        if (place && cellAt_[slot] == cell) {
            *place = {at.x, at.y, reach, place->key, place->slot};
            return;
        }
        if (place) leave(slot);
        const auto move = static_cast<uint32_t>(moves_.size());
        const uint32_t next = cellMoves_[cell];
        moves_.push_back({{at.x, at.y, reach, key, static_cast<uint32_t>(slot)}, next, NoMove});
        if (next != NoMove) moves_[next].previousInCell = move;
        cellMoves_[cell] = move;
        cellAt_[slot] = cell;
        home_[slot] = move;
    }

    // Calls visit(T&) for every live entry that may lie within reach of at (the entry's own reach added),
    // in no particular order. For sums where each entry gets one term of its own; a visit must move no
    // entry of this index.
    template <class Visit> void forEachNear(const TVector& at, float reach, Visit&& visit) {
        TBox box;
        if (!boxAround(at, reach, box)) {
            list_->forEach(visit);
            return;
        }
        forEachCandidate(at, reach, box, AllGrids, [&](const TPlaced& placed, bool near) {
            if (!near) return;
            if (T* entry = list_->atSlot(placed.slot)) visit(*entry);
        });
        for (const uint32_t slot : anywhere_)
            if (home_[slot] == Anywhere)
                if (T* entry = list_->atSlot(slot)) visit(*entry);
        visitJoined([&](T& entry) {
            visit(entry);
            return false;
        });
    }

    // The same candidates in list order, from slot `from` on, stopping after the first call of
    // visit(T&) that returns true. Candidates are chosen before the first visit; a visit may move them.
    template <class Visit>
    void forEachNearInOrder(const TVector& at, float reach, Visit&& visit, size_t from = 0) {
        TBox box;
        if (!boxAround(at, reach, box)) {
            walkSlots(from, visit);
            return;
        }
        std::fill(marked_.begin(), marked_.end(), 0);
        forEachCandidate(at, reach, box, AllGrids,
                         [&](const TPlaced& placed, bool near) { mark(placed.slot, near); });
        for (const uint32_t slot : anywhere_)
            if (home_[slot] == Anywhere) mark(slot);
        const bool stopped = walkMarked(from, [&](size_t slot) {
            T* entry = list_->atSlot(slot);
            return entry && visit(*entry);
        });
        if (!stopped) visitJoined(visit, from);
    }

    // For a pass where one entry at a time is set against its neighbours and both may move (separation):
    // the candidates with the given key, in list order from slot `from` on, stopping after the first call
    // of visit(T&, where) that returns true. Where is where the entry stood when the walk began, which a
    // visit may take for where it stands still, so as not to go to entries out of its reach: the visit
    // may move the entry it is given and nothing else.
    template <class Visit>
    void forEachNearWithKeyInOrder(const TVector& at, float reach, int key, size_t from, Visit&& visit) {
        const auto visitLive = [&](T& entry) {
            return keyOf_(entry) == key && visit(entry, positionOf_(entry));
        };
        TBox box;
        if (!boxAround(at, reach, box)) {
            walkSlots(from, visitLive);
            return;
        }
        std::fill(marked_.begin(), marked_.end(), 0);
        // Gathered without a branch, as whether an entry of a crowd is near is a toss-up.
        gathered_.resize(placed_.size() + moves_.size());
        size_t count = 0;
        forEachCandidate(at, reach, box, gridOf(key), [&](const TPlaced& placed, bool near) {
            gathered_[count] = &placed;
            count += near & (placed.key == key);
        });
        for (size_t i = 0; i < count; ++i) {
            mark(gathered_[i]->slot);
            chosen_[gathered_[i]->slot] = {gathered_[i]->x, gathered_[i]->y, true};
        }
        for (const uint32_t slot : anywhere_)
            if (home_[slot] == Anywhere) {
                mark(slot);
                chosen_[slot].placed = false; // looked at where it is
            }
        const bool stopped = walkMarked(from, [&](size_t slot) {
            const TChosen& chosen = chosen_[slot];
            T* entry = list_->atSlot(slot);
            if (!entry) return false;
            return chosen.placed ? visit(*entry, TVector{chosen.x, chosen.y}) : visitLive(*entry);
        });
        if (!stopped) visitJoined(visitLive, from);
    }

    // A grid of square cells over the 1024 x 640 arena.
    static_assert(1024 % CellSize == 0 && 640 % CellSize == 0);
    static constexpr float cellSize = CellSize;
    static constexpr int columns = 1024 / CellSize;
    static constexpr int rows = 640 / CellSize;
    static constexpr int cellsPerGrid = columns * rows;

private:
    struct TBox {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        float reach = 0;  // the query's reach with the entries' widest and the margin
        float margin = 0; // for the game's rounding
    };

    // An entry where the build (or its last move) found it, kept beside its cell's others so that a query
    // can pass over those out of reach without going to the entries themselves.
    struct TPlaced {
        float x = 0, y = 0, reach = 0;
        int key = 0;
        uint32_t slot = 0;
    };

    // Where a candidate of the walk by key stood when it was chosen, if it was placed in a cell.
    struct TChosen {
        float x = 0, y = 0;
        bool placed = false;
    };

    // Where an entry is to be looked for: where the build placed it, in no cell, or its last move.
    static constexpr uint32_t AtBuild = UINT32_MAX;
    static constexpr uint32_t Anywhere = UINT32_MAX - 1;
    static constexpr uint32_t NoMove = UINT32_MAX;

    // An entry that has gone to another cell than the build placed it in. Each cell's moves are linked
    // both ways, so that the entry's next move can take this one out.
    struct TMove {
        TPlaced placed;
        uint32_t nextInCell = NoMove, previousInCell = NoMove;
    };

    // Where the entry in slot is placed now, or null when it is in no cell.
    TPlaced* placeOf(size_t slot) {
        const uint32_t home = home_[slot];
        if (home == AtBuild) return placedAt_[slot] == NoMove ? nullptr : &placed_[placedAt_[slot]];
        return home < moves_.size() ? &moves_[home].placed : nullptr;
    }

    // Takes the entry in slot out of the cell it is placed in, so that no query scans a place it has left.
    // The build's places are packed in their cell: the cell's last takes the one left.
    void leave(size_t slot) {
        const uint32_t home = home_[slot];
        if (home == AtBuild) {
            const uint32_t at = placedAt_[slot];
            const uint32_t last = --cellEnd_[cellAt_[slot]];
            placed_[at] = placed_[last];
            placedAt_[placed_[at].slot] = at;
            placedAt_[slot] = NoMove;
            return;
        }
        const TMove& move = moves_[home];
        if (move.previousInCell == NoMove)
            cellMoves_[cellAt_[slot]] = move.nextInCell;
        else
            moves_[move.previousInCell].nextInCell = move.nextInCell;
        if (move.nextInCell != NoMove) moves_[move.nextInCell].previousInCell = move.previousInCell;
    }

    static bool mayReach(const TPlaced& placed, const TVector& at, float reach, const TBox& box) {
        const float dx = placed.x - at.x, dy = placed.y - at.y;
        const float limit = reach + placed.reach + box.margin;
        return !(dx * dx + dy * dy > limit * limit);
    }

    // A crowd in the box is near or not at random, so the tests are combined without branching.

    // Calls take(TPlaced, near) for the placed entries of the cells in reach of the given key's grid (or of
    // every grid), near when the entry may lie within reach where it now stands. Not those in no cell.
    template <class Take>
    void forEachCandidate(const TVector& at, float reach, const TBox& box, int grid, Take&& take) {
        const int firstGrid = grid == AllGrids ? 0 : grid;
        const int endGrid = grid == AllGrids ? KeyGrids : grid + 1;
        // Of the box, only the cells that come within reach of the circle: four in five of them for a
        // wide reach. The edge cells reach out for ever, as entries beyond the walls are clamped into them.
        const float reachSquared = box.reach * box.reach;
        for (int cy = box.y0; cy <= box.y1; ++cy) {
            const float gapY = gapTo(at.y, top_, cy, rows);
            for (int cx = box.x0; cx <= box.x1; ++cx) {
                const float gapX = gapTo(at.x, left_, cx, columns);
                if (gapX * gapX + gapY * gapY > reachSquared) continue;
                for (int g = firstGrid; g < endGrid; ++g) {
                    const auto cell = static_cast<size_t>(g * cellsPerGrid + cy * columns + cx);
                    // Decided where the entry stands, without going to it: most in the box are out of
                    // reach, and a busy arena's thousands of sparks lie all over memory.
                    for (uint32_t i = cellStart_[cell]; i < cellEnd_[cell]; ++i) {
                        const TPlaced& placed = placed_[i];
                        take(placed, mayReach(placed, at, reach, box));
                    }
                    for (uint32_t m = cellMoves_[cell]; m != NoMove; m = moves_[m].nextInCell) {
                        const TPlaced& placed = moves_[m].placed;
                        take(placed, mayReach(placed, at, reach, box));
                    }
                }
            }
        }
    }

    // The cells a query can touch; false when the query is not finite and must see everything.
    bool boxAround(const TVector& at, float reach, TBox& box) {
        // A crowd that keeps apart moves most of itself in one pass; once half the entries have left
        // where the build found them, finding them afresh is cheaper than passing over the old places.
        if (!built_ || moves_.size() * 2 > builtSlots_) build();
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
    static int gridOf(int key) { return static_cast<int>(static_cast<unsigned>(key) % KeyGrids); }
    static constexpr int AllGrids = -1;
    uint32_t cellOf(const TVector& at, int key) const {
        return static_cast<uint32_t>(gridOf(key) * cellsPerGrid + row(at.y) * columns + column(at.x));
    }

    void build() {
        built_ = true;
        builtSlots_ = list_->slotCount();
        widestReach_ = 0;
        // Room for as many entries as the list has room for: a list that grows does not make the index
        // reallocate pass after pass, and every entry is in anywhere_ at most once, so the pass's moves
        // never have to make room there either.
        const size_t room = std::max(builtSlots_, list_->slotRoom());
        makeRoom(anywhere_, room);
        makeRoom(bySlot_, room);
        makeRoom(placed_, room);
        makeRoom(home_, room);
        makeRoom(placedAt_, room);
        makeRoom(cellAt_, room);
        makeRoom(moves_, room);
        makeRoom(listedAnywhere_, room);
        makeRoom(marked_, (room + 63) / 64);
        if (keyOf_) makeRoom(chosen_, room);
        if (keyOf_) makeRoom(gathered_, 2 * room);
        anywhere_.clear();
        bySlot_.clear();
        cellStart_.assign(cellsPerGrid * KeyGrids + 1, 0);
        moves_.clear();
        cellMoves_.assign(cellsPerGrid * KeyGrids, NoMove);
        home_.assign(builtSlots_, AtBuild);
        placedAt_.assign(builtSlots_, NoMove);
        cellAt_.resize(builtSlots_);
        listedAnywhere_.assign(builtSlots_, 0);
        for (size_t slot = 0; slot < builtSlots_; ++slot) {
            T* entry = list_->atSlot(slot);
            if (!entry || (counts_ && !counts_(*entry))) continue;
            const TVector& at = positionOf_(*entry);
            const float reach = reachOf_ ? reachOf_(*entry) : 0;
            if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(reach)) {
                anywhere_.push_back(static_cast<uint32_t>(slot));
                listedAnywhere_[slot] = 1;
                home_[slot] = Anywhere;
                continue;
            }
            widestReach_ = std::max(widestReach_, reach);
            const int key = keyOf_ ? keyOf_(*entry) : 0;
            const uint32_t cell = cellOf(at, key);
            bySlot_.push_back({at.x, at.y, reach, key, static_cast<uint32_t>(slot)});
            cellAt_[slot] = cell;
            ++cellStart_[cell + 1];
        }
        for (size_t cell = 0; cell < cellsPerGrid * KeyGrids; ++cell)
            cellStart_[cell + 1] += cellStart_[cell];
        placed_.resize(cellStart_.back());
        cellEnd_.assign(cellStart_.begin(), cellStart_.end() - 1);
        for (const TPlaced& placed : bySlot_) {
            const uint32_t at = cellEnd_[cellAt_[placed.slot]]++;
            placedAt_[placed.slot] = at;
            placed_[at] = placed;
        }
        marked_.assign((builtSlots_ + 63) / 64, 0);
        if (keyOf_) chosen_.resize(builtSlots_);
    }

    template <class V> static void makeRoom(V& values, size_t count) {
        if (count > values.capacity()) values.reserve(std::max(count, 2 * values.capacity()));
    }

    // The live entries from slot `from` on, in list order, until visit(T&) returns true.
    template <class Visit> void walkSlots(size_t from, Visit&& visit) {
        for (size_t slot = from; slot < list_->slotCount(); ++slot) {
            T* entry = list_->atSlot(slot);
            if (entry && visit(*entry)) return;
        }
    }

    // The marked slots from `from` on, in order, until visit(slot) returns true; true when it did.
    template <class Visit> bool walkMarked(size_t from, Visit&& visit) {
        for (size_t word = from / 64; word < marked_.size(); ++word)
            for (uint64_t bits = word == from / 64 ? marked_[word] & (~uint64_t{0} << (from % 64))
                                                   : marked_[word];
                 bits != 0; bits &= bits - 1)
                if (visit(word * 64 + static_cast<size_t>(std::countr_zero(bits)))) return true;
        return false;
    }

    void mark(uint32_t slot, bool really = true) { marked_[slot / 64] |= uint64_t{really} << (slot % 64); }

    // Entries that joined after the build, in list order, including any that join during this walk.
    template <class Visit> void visitJoined(Visit&& visit, size_t from = 0) {
        walkSlots(std::max(builtSlots_, from), visit);
    }

    PositionOf positionOf_;
    ReachOf reachOf_;
    Counts counts_;
    KeyOf keyOf_;
    TWorldList<T>* list_ = nullptr;
    float left_ = 0, top_ = 0;
    bool built_ = false;
    size_t builtSlots_ = 0;
    float widestReach_ = 0;
    std::vector<TPlaced> bySlot_; // the build's first pass, in slot order
    // By cell: placed_[cellStart_[c] .. cellEnd_[c]) are cell c's entries still where the build found them.
    std::vector<TPlaced> placed_;
    std::vector<uint32_t> cellStart_, cellEnd_;
    std::vector<TMove> moves_;             // since the build; the latest of each entry in its cell's chain
    std::vector<uint32_t> cellMoves_;      // by cell: the last move into it, or NoMove
    std::vector<uint32_t> home_;           // by slot: AtBuild, Anywhere, or the entry's last move
    std::vector<uint32_t> anywhere_;       // in no cell: candidates of every query while home_ says so
    std::vector<uint8_t> listedAnywhere_;  // by slot: in anywhere_ already
    std::vector<uint32_t> placedAt_;       // by slot: the build's place in placed_, or NoMove
    std::vector<uint32_t> cellAt_;         // by slot: the cell it is placed in, while it is
    std::vector<uint64_t> marked_;         // the ordered walk's candidates, one bit per slot
    std::vector<TChosen> chosen_;          // by slot: the walk by key's candidates
    std::vector<const TPlaced*> gathered_; // the walk by key's candidates, before they are marked
};
