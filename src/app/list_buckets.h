// TListBuckets: the entries of a world list sorted by a key that never changes for an entry (an enemy's
// kind), for a pass in which each entry looks only at those with its own key. Separation is such a look:
// without the buckets, every well in a full arena walks every enemy to find the other wells.
//
// Open for one pass, it holds the list's order so that every entry keeps its slot, and it is built at its
// first question. Each bucket walks its entries in list order, then every entry that joined the list
// after the build (those with the key asked for), so a walk sees what a whole-list walk with a key test
// would have seen, in the same order.
#pragma once

#include "app/world_list.h"

#include <cstdint>
#include <vector>

template <class T> class TListBuckets {
public:
    using KeyOf = int (*)(const T&);

    explicit TListBuckets(KeyOf keyOf) : keyOf_(keyOf) {}

    void open(TWorldList<T>& list) {
        list_ = &list;
        list.holdOrder();
        built_ = false;
    }

    void close() {
        if (!list_) return;
        list_->releaseOrder();
        list_ = nullptr;
    }

    bool isOpen() const { return list_ != nullptr; }

    // Calls visit(T&) for every live entry with the given key, in list order.
    template <class Visit> void forEachWithKey(int key, Visit&& visit) {
        if (!built_) build();
        for (size_t bucket = 0; bucket < keys_.size(); ++bucket) {
            if (keys_[bucket] != key) continue;
            for (const uint32_t slot : slots_[bucket])
                if (T* entry = list_->atSlot(slot)) visit(*entry);
            break;
        }
        for (size_t slot = builtSlots_; slot < list_->slotCount(); ++slot) {
            T* entry = list_->atSlot(slot);
            if (entry && keyOf_(*entry) == key) visit(*entry);
        }
    }

private:
    void build() {
        built_ = true;
        builtSlots_ = list_->slotCount();
        // Buckets keep their storage from pass to pass; a key that is gone leaves an empty one.
        for (auto& bucket : slots_)
            bucket.clear();
        for (size_t slot = 0; slot < builtSlots_; ++slot) {
            const T* entry = list_->atSlot(slot);
            if (entry) slots_[bucketOf(keyOf_(*entry))].push_back(static_cast<uint32_t>(slot));
        }
    }

    size_t bucketOf(int key) {
        for (size_t bucket = 0; bucket < keys_.size(); ++bucket)
            if (keys_[bucket] == key) return bucket;
        keys_.push_back(key);
        slots_.emplace_back();
        return keys_.size() - 1;
    }

    KeyOf keyOf_;
    TWorldList<T>* list_ = nullptr;
    bool built_ = false;
    size_t builtSlots_ = 0;
    std::vector<int> keys_;
    std::vector<std::vector<uint32_t>> slots_; // by bucket, in slot order
};
