// The list type of the game's world lists (particles, shots, enemies, sparks, shockwaves, popups).
//
// Objects append themselves and remove themselves, very often while the list is being visited (a spark
// ends during the spark pass, an enemy removes itself and its particle while dying). Removal during a
// visit leaves a hole that the visit skips; the holes are closed when the outermost visit ends, so a
// frame never copies a list. Entries are visited in insertion order, and entries appended during a visit
// are visited by that same visit.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

template <class T> class TWorldList {
public:
    using Handle = std::shared_ptr<T>;

    TWorldList() { entries_.reserve(1024); }

    void add(Handle item) { entries_.push_back(std::move(item)); }

    // Removes the entry for item if present; returns whether it was there.
    bool remove(const T* item) {
        if (!item) return false;
        // The visited entry removing itself is the common case: look there first.
        if (visiting_ > 0 && cursor_ < entries_.size() && entries_[cursor_].get() == item)
            return removeAt(cursor_);
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].get() == item) return removeAt(i);
        return false;
    }

    bool contains(const T* item) const {
        return std::any_of(entries_.begin(), entries_.end(),
                           [item](const Handle& e) { return e.get() == item; });
    }

    // Calls visit(T&) for every live entry in insertion order. The entry is kept alive for the call even if
    // it removes itself.
    template <class Visit> void forEach(Visit&& visit) {
        ++visiting_;
        const size_t outerCursor = cursor_;
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (!entries_[i]) continue;
            cursor_ = i;
            Handle keep = entries_[i];
            visit(*keep);
        }
        cursor_ = outerCursor;
        if (--visiting_ == 0 && holes_ > 0) compact();
    }

    void clear() {
        if (visiting_ > 0) {
            for (auto& e : entries_)
                if (e) {
                    e.reset();
                    ++holes_;
                }
        } else {
            entries_.clear();
            holes_ = 0;
        }
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
    bool removeAt(size_t i) {
        if (visiting_ > 0) {
            entries_[i].reset();
            ++holes_;
        } else {
            entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return true;
    }

    void compact() {
        std::erase_if(entries_, [](const Handle& e) { return !e; });
        holes_ = 0;
    }

    std::vector<Handle> entries_;
    size_t holes_ = 0;
    int visiting_ = 0;
    size_t cursor_ = 0;
};
