// The list type of the game's world lists (particles, shots, enemies, sparks, shockwaves, popups).
//
// Objects append themselves and remove themselves, very often while the list is being visited (a spark
// ends during the spark pass, an enemy removes itself and its particle while dying). Entries are visited
// in insertion order, and entries appended during a visit are visited by that same visit.
//
// What it costs, since the lists hold thousands of entries in a busy arena and some are visited once per
// enemy or per shot:
// - Removal finds its entry by the place the entry keeps of itself (TListPlace) instead of a search, and
//   leaves a hole instead of closing the gap; holes are skipped by every visit and closed in one sweep
//   once they make up a quarter of the list (when the outermost visit ends, or at the removal itself
//   outside visits). A frame that ends a thousand sparks thus neither searches nor shifts the particle
//   list a thousand times.
// - A visit takes no reference per entry: an entry removed while any visit of its list is running is kept
//   alive until the outermost visit ends, so the one being visited can remove itself safely.
#pragma once

#include "play/list_place.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

template <class T> class TWorldList {
public:
    using Handle = std::shared_ptr<T>;

    // Sized for the busiest arena play makes, so that play does not grow the list; sparks and particles
    // run to a few thousand at level 20.
    explicit TWorldList(size_t expected = 1024) {
        entries_.reserve(expected);
        retired_.reserve(expected / 4);
    }

    void add(Handle item) {
        TListPlace& place = item->listPlace;
        ++place.memberships;
        place.slot = static_cast<uint32_t>(entries_.size());
        entries_.push_back(std::move(item));
    }

    // Removes the entry for item if present; returns whether it was there.
    bool remove(const T* item) {
        if (!item) return false;
        const size_t at = slotOf(item);
        if (at == None) return false;
        removeAt(at);
        return true;
    }

    // The list's own reference to item, or null.
    Handle handleOf(const T* item) const {
        const size_t at = slotOf(item);
        return at == None ? nullptr : entries_[at];
    }

    bool contains(const T* item) const { return item && slotOf(item) != None; }

    static constexpr size_t None = SIZE_MAX;

    // Where item stands, or None.
    size_t slotOf(const T* item) const {
        if (!item || item->listPlace.memberships == 0) return None;
        const size_t slot = item->listPlace.slot;
        if (item->listPlace.memberships == 1 && slot < entries_.size() && entries_[slot].get() == item)
            return slot;
        // The same object twice, or in another list too, is not something the game does; should it happen,
        // the list searches, which finds the first of the two as it always did.
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].get() == item) return i;
        return None;
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
        for (const auto& e : entries_)
            if (e) --e->listPlace.memberships;
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
        --entries_[i]->listPlace.memberships;
        ++holes_;
        if (visiting_ > 0) {
            retired_.push_back(std::move(entries_[i]));
        } else {
            entries_[i].reset();
            if (holes_ * 4 >= entries_.size()) compact();
        }
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
                entries_[kept]->listPlace.slot = static_cast<uint32_t>(kept);
            }
            ++kept;
        }
        entries_.resize(kept);
        holes_ = 0;
    }

    std::vector<Handle> entries_;
    size_t holes_ = 0;
    int visiting_ = 0; // visits running plus holds of the order
    // Entries removed during a visit, kept alive until the outermost visit ends.
    std::vector<Handle> retired_;
};
