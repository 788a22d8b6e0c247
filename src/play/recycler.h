// TRecycler: the allocator for the small objects that come and go by the hundred every busy frame (sparks
// and the particles of everything that moves), handed to std::allocate_shared.
//
// A burst of 30 sparks used to take 60 blocks from the heap in the middle of a frame. Here a freed block
// goes onto a free list of its size and is handed out again, and new blocks are carved from slabs of many
// at once, so the heap is touched once per slab while the count of live objects grows, and not at all once
// it has peaked. Slabs are never given back: what a busy level leaves behind is a few hundred kB.
//
// Game thread only, like the world lists. Under AddressSanitizer the recycler steps aside, so that a spark
// used after its end is still reported.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

template <size_t Size, size_t Align> class TBlockPool {
public:
    static void* take() {
        if (!freeBlocks) carveSlab();
        TBlock* block = freeBlocks;
        freeBlocks = block->next;
        return block;
    }

    static void giveBack(void* memory) {
        auto* block = static_cast<TBlock*>(memory);
        block->next = freeBlocks;
        freeBlocks = block;
    }

private:
    union TBlock {
        TBlock* next;
        alignas(Align) unsigned char bytes[Size];
    };

    // A few hundred sparks a burst-heavy frame: a slab covers several such frames.
    static constexpr size_t slabBlocks = 256;

    static void carveSlab() {
        TBlock* slab = new TBlock[slabBlocks];
        for (size_t i = 0; i < slabBlocks; ++i)
            giveBack(&slab[i]);
    }

    static inline TBlock* freeBlocks = nullptr;
};

template <class T> struct TRecycler {
    using value_type = T;

    TRecycler() = default;
    template <class U> TRecycler(const TRecycler<U>&) {}

    T* allocate(size_t count) {
#ifndef __SANITIZE_ADDRESS__
        if (count == 1) return static_cast<T*>(TBlockPool<sizeof(T), alignof(T)>::take());
#endif
        return std::allocator<T>{}.allocate(count);
    }

    void deallocate(T* memory, size_t count) {
#ifndef __SANITIZE_ADDRESS__
        if (count == 1) {
            TBlockPool<sizeof(T), alignof(T)>::giveBack(memory);
            return;
        }
#endif
        std::allocator<T>{}.deallocate(memory, count);
    }

    template <class U> bool operator==(const TRecycler<U>&) const {
        return true;
    }
};
