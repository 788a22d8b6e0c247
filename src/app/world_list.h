// The list type of the game's world lists (particles, shots, enemies, sparks, shockwaves, popups).
//
// Objects append themselves and remove themselves, very often while the list is being visited (a spark
// ends during the spark pass, an enemy removes itself and its particle while dying). Entries are visited
// in insertion order, and entries appended during a visit are visited by that same visit.
//
// What it costs, since the lists hold thousands of entries in a busy arena and some are visited once per
// enemy or per shot:
// - Removal finds its entry through an index by address instead of a search, and leaves a hole instead of
//   closing the gap; holes are skipped by every visit and closed in one sweep once they make up a quarter
//   of the list (when the outermost visit ends, or at the removal itself outside visits). A frame that ends
//   a thousand sparks thus neither searches nor shifts the particle list a thousand times.
// - A visit takes no reference per entry: an entry removed while any visit of its list is running is kept
//   alive until the outermost visit ends, so the one being visited can remove itself safely.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Where each entry of a world list stands, by its address: open addressing with linear probing, removal by
// shifting back (no tombstones), no allocation once grown to the list's size.
class TWorldListIndex {
public:
    static constexpr size_t None = SIZE_MAX;

    size_t find(const void* key) const {
        if (cells_.empty()) return None;
        for (size_t at = home(key);; at = next(at)) {
            if (cells_[at].key == key) return cells_[at].slot;
            if (!cells_[at].key) return None;
        }
    }

    // False, with nothing changed, when key is already there.
    bool insert(const void* key, size_t slot) {
        if ((used_ + 1) * 2 > cells_.size()) grow();
        size_t at = home(key);
        for (; cells_[at].key; at = next(at))
            if (cells_[at].key == key) return false;
        cells_[at] = {key, slot};
        ++used_;
        return true;
    }

    void update(const void* key, size_t slot) {
        for (size_t at = home(key);; at = next(at))
            if (cells_[at].key == key) {
                cells_[at].slot = slot;
                return;
            }
    }

    void erase(const void* key) {
        if (cells_.empty()) return;
        size_t hole = home(key);
        for (; cells_[hole].key != key; hole = next(hole))
            if (!cells_[hole].key) return;
        // Pull later cells of the probe run back into the hole wherever their home allows it.
        for (size_t at = next(hole); cells_[at].key; at = next(at)) {
            const size_t wanted = home(cells_[at].key);
            const bool reachable =
                hole <= at ? (wanted <= hole || wanted > at) : (wanted <= hole && wanted > at);
            if (reachable) {
                cells_[hole] = cells_[at];
                hole = at;
            }
        }
        cells_[hole] = {};
        --used_;
    }

    void clear() {
        std::fill(cells_.begin(), cells_.end(), TCell{});
        used_ = 0;
    }

    // Room for count keys without growing.
    void reserve(size_t count) {
        if (cells_.empty()) cells_.assign(std::bit_ceil(std::max<size_t>(64, count * 2)), TCell{});
    }

private:
    struct TCell {
        const void* key = nullptr;
        size_t slot = 0;
    };

    size_t home(const void* key) const {
        const auto bits = reinterpret_cast<uintptr_t>(key);
        return static_cast<size_t>((bits >> 4) * 0x9E3779B97F4A7C15ull >> 20) & (cells_.size() - 1);
    }
    size_t next(size_t at) const { return (at + 1) & (cells_.size() - 1); }

    void grow() {
        std::vector<TCell> old = std::move(cells_);
        cells_.assign(std::max<size_t>(64, old.size() * 2), TCell{});
        used_ = 0;
        for (const TCell& cell : old)
            if (cell.key) insert(cell.key, cell.slot);
    }

    std::vector<TCell> cells_;
    size_t used_ = 0;
};

template <class T> class TWorldList {
public:
    using Handle = std::shared_ptr<T>;

    // Sized for the busiest arena play makes, so that play does not grow the list; sparks and particles
    // run to a few thousand at level 20.
    explicit TWorldList(size_t expected = 1024) {
        entries_.reserve(expected);
        index_.reserve(expected);
        retired_.reserve(expected / 4);
    }

    void add(Handle item) {
        // The same object twice is not something the game does; should it happen, the list falls back to
        // searching, which finds the first of the two as it always did.
        if (!index_.insert(item.get(), entries_.size())) ++duplicates_;
        entries_.push_back(std::move(item));
    }

    // Removes the entry for item if present; returns whether it was there.
    bool remove(const T* item) {
        if (!item) return false;
        const size_t at = slotOf(item);
        if (at == TWorldListIndex::None) return false;
        removeAt(at);
        return true;
    }

    // The list's own reference to item, or null.
    Handle handleOf(const T* item) const {
        const size_t at = slotOf(item);
        return at == TWorldListIndex::None ? nullptr : entries_[at];
    }

    bool contains(const T* item) const { return item && slotOf(item) != TWorldListIndex::None; }

    // Where item stands, or TWorldListIndex::None.
    size_t slotOf(const T* item) const {
        if (duplicates_ == 0) return index_.find(item);
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].get() == item) return i;
        return TWorldListIndex::None;
    }

    // Calls visit(T&) for every live entry in insertion order. The entry is kept alive for the call even if
    // it removes itself.
    template <class Visit> void forEach(Visit&& visit) {
        forEachUntil([&](T& entry) {
            visit(entry);
            return false;
        });
    }

    // The same, stopping after the first call that returns true.
    template <class Visit> void forEachUntil(Visit&& visit) {
        ++visiting_;
        for (size_t i = 0; i < entries_.size(); ++i) {
            T* entry = entries_[i].get();
            if (entry && visit(*entry)) break;
        }
        if (--visiting_ == 0) endVisit();
    }

    void clear() {
        ++removals_;
        index_.clear();
        duplicates_ = 0;
        if (visiting_ == 0) {
            entries_.clear();
            holes_ = 0;
            return;
        }
        for (auto& e : entries_)
            if (e) {
                retired_.push_back(std::move(e));
                ++holes_;
            }
    }

    // Slots, for indexes over a list: a slot is an entry's place in visiting order, counting holes. While
    // the order is held, as during a visit, no slot moves, an entry removed leaves its slot empty (null)
    // and stays alive, and an entry added takes the next slot after all others.
    size_t slotCount() const { return entries_.size(); }
    size_t slotRoom() const { return entries_.capacity(); } // slots there is room for without growing
    T* atSlot(size_t slot) const { return entries_[slot].get(); }
    void holdOrder() { ++visiting_; }
    // Rises with every removal: while it stands still, every slot that held an entry still holds it.
    size_t removalCount() const { return removals_; }
    void releaseOrder() {
        if (--visiting_ == 0) endVisit();
    }

    size_t size() const { return entries_.size() - holes_; }
    bool empty() const { return size() == 0; }

    // The first live entry, or null.
    Handle first() const {
        for (const auto& e : entries_)
            if (e) return e;
        return nullptr;
    }

private:
    void removeAt(size_t i) {
        ++removals_;
        index_.erase(entries_[i].get());
        ++holes_;
        if (visiting_ > 0) {
            retired_.push_back(std::move(entries_[i]));
        } else {
            entries_[i].reset();
            if (holes_ * 4 >= entries_.size()) compact();
        }
        if (duplicates_ > 0) reindex(); // the other copy, if any, is now the one the index must name
    }

    void endVisit() {
        if (holes_ > 0 && holes_ * 4 >= entries_.size()) compact();
        retired_.clear();
    }

    void compact() {
        size_t kept = 0;
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (!entries_[i]) continue;
            if (kept != i) {
                entries_[kept] = std::move(entries_[i]);
                if (duplicates_ == 0) index_.update(entries_[kept].get(), kept);
            }
            ++kept;
        }
        entries_.resize(kept);
        holes_ = 0;
        if (duplicates_ > 0) reindex();
    }

    void reindex() {
        index_.clear();
        duplicates_ = 0;
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i] && !index_.insert(entries_[i].get(), i)) ++duplicates_;
    }

    std::vector<Handle> entries_;
    TWorldListIndex index_;
    size_t holes_ = 0;
    int duplicates_ = 0;
    size_t removals_ = 0;
    int visiting_ = 0; // visits running plus holds of the order
    // Entries removed during a visit, kept alive until the outermost visit ends.
    std::vector<Handle> retired_;
};
