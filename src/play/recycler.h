// Allocators for the play objects that come and go by the hundred every busy frame, handed to
// std::allocate_shared (and to the vectors of an outline's lines). Three stores:
// - TBlockPool, by recycling: a freed block goes onto a free list of its size and is handed out again, and
//   new blocks are carved from slabs of many at once. For what lives long or is made seldom: enemies,
//   their outlines, shots, shockwaves and the particles of all these.
// - TArrivalPool, in the order of making: objects are laid end to end in large chunks, and a chunk is
//   filled afresh only once everything in it has ended. The world lists visit their entries in the order
//   they were added, so a pass over thousands of sparks walks memory forward instead of jumping about the
//   heap; the eight-fold arena's sparks did not fit in the caches the other way.
// - TArrayBlocks, by powers of two, for arrays: an outline's lines.
// The heap is touched once per slab or chunk while the count of live objects grows, and not at all once it
// has peaked. Nothing is given back: what a busy level leaves behind is a few hundred kB.
//
// Game thread only, like the world lists. Under AddressSanitizer the stores step aside, so that a spark
// used after its end is still reported.
#pragma once

#include <cstddef>
#include <cstdint>
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

// The arrival pool's chunks are aligned to their size, so the chunk of an object is its address rounded down.
constexpr size_t arrivalChunkBytes = size_t{64} * 1024;

template <size_t Size, size_t Align> class TArrivalPool {
public:
    static void* take() {
        if (!filling || filling->used == slotsPerChunk) startChunk();
        ++filling->live;
        return filling->slots[filling->used++].bytes;
    }

    static void giveBack(void* memory) {
        auto* chunk = reinterpret_cast<TChunk*>(reinterpret_cast<uintptr_t>(memory) & ~(chunkBytes - 1));
        if (--chunk->live > 0) return;
        if (chunk == filling) {
            chunk->used = 0; // empty while still filling: start it over
            return;
        }
        chunk->nextSpare = spare;
        spare = chunk;
    }

private:
    static constexpr size_t chunkBytes = arrivalChunkBytes;

    struct TSlot {
        alignas(Align) unsigned char bytes[Size];
    };
    // What is left after the three header fields and the slots' alignment.
    static constexpr size_t slotsPerChunk = (chunkBytes - 64) / sizeof(TSlot);
    static_assert(Align <= 32);

    struct alignas(chunkBytes) TChunk {
        size_t used = 0; // slots handed out since the chunk was last empty
        size_t live = 0;
        TChunk* nextSpare = nullptr;
        alignas(64) TSlot slots[slotsPerChunk]; // on a cache line of their own
    };
    static_assert(sizeof(TChunk) == chunkBytes);

    static void startChunk() {
        if (spare) {
            filling = spare;
            spare = spare->nextSpare;
            filling->used = 0;
            return;
        }
        filling = new TChunk;
    }

    static inline TChunk* filling = nullptr;
    static inline TChunk* spare = nullptr; // chunks whose objects have all ended
};

class TArrayBlocks {
public:
    // Null when the array is bigger than the largest class; the heap takes those.
    static void* take(size_t bytes) {
        const int size = classOf(bytes);
        if (size < 0) return nullptr;
        if (!freeBlocks[size]) carveSlab(size);
        TFree* block = freeBlocks[size];
        freeBlocks[size] = block->next;
        return block;
    }

    // False when the array was not one of these.
    static bool giveBack(void* memory, size_t bytes) {
        const int size = classOf(bytes);
        if (size < 0) return false;
        auto* block = static_cast<TFree*>(memory);
        block->next = freeBlocks[size];
        freeBlocks[size] = block;
        return true;
    }

private:
    struct TFree {
        TFree* next;
    };
    static constexpr size_t smallest = 64;
    static constexpr int classes = 8; // 64 bytes to 8 kB
    static constexpr size_t slabBytes = size_t{32} * 1024;

    static int classOf(size_t bytes) {
        size_t blockBytes = smallest;
        for (int size = 0; size < classes; ++size, blockBytes *= 2)
            if (bytes <= blockBytes) return size;
        return -1;
    }

    static void carveSlab(int size) {
        const size_t blockBytes = smallest << size;
        auto* slab = static_cast<unsigned char*>(::operator new (slabBytes, std::align_val_t{smallest}));
        for (size_t at = 0; at + blockBytes <= slabBytes; at += blockBytes)
            giveBack(slab + at, blockBytes);
    }

    static inline TFree* freeBlocks[classes] = {};
};

template <class T, template <size_t, size_t> class Pool> struct TPoolAllocator {
    using value_type = T;
    template <class U> struct rebind { using other = TPoolAllocator<U, Pool>; };

    TPoolAllocator() = default;
    template <class U> TPoolAllocator(const TPoolAllocator<U, Pool>&) {}

    T* allocate(size_t count) {
#ifndef __SANITIZE_ADDRESS__
        if (count == 1) return static_cast<T*>(Pool<sizeof(T), alignof(T)>::take());
        if (alignof(T) <= 16)
            if (void* block = TArrayBlocks::take(count * sizeof(T))) return static_cast<T*>(block);
#endif
        return std::allocator<T>{}.allocate(count);
    }

    void deallocate(T* memory, size_t count) {
#ifndef __SANITIZE_ADDRESS__
        if (count == 1) {
            Pool<sizeof(T), alignof(T)>::giveBack(memory);
            return;
        }
        if (alignof(T) <= 16 && TArrayBlocks::giveBack(memory, count * sizeof(T))) return;
#endif
        std::allocator<T>{}.deallocate(memory, count);
    }

    template <class U> bool operator==(const TPoolAllocator<U, Pool>&) const {
        return true;
    }
};

// Recycled blocks: for what lives long or is made seldom.
template <class T> using TRecycler = TPoolAllocator<T, TBlockPool>;
// In the order of making: for sparks, which a pass visits in that order by the thousand.
template <class T> using TInArrivalOrder = TPoolAllocator<T, TArrivalPool>;
