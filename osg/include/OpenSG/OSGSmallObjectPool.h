#pragma once

#include <OpenSG/OSGBaseTypes.h>

#include <cstddef>
#include <cstdint>

OSG_BEGIN_NAMESPACE

#if defined(__SANITIZE_ADDRESS__)
#define OSG_POOL_PASS_THROUGH 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSG_POOL_PASS_THROUGH 1
#endif
#endif

// Free lists of small blocks by size, one set per thread. Scene graphs are built and torn
// down in bursts (an environment light replaces dozens of lights, each made of a few dozen
// small objects), and the general allocator handles a burst of that many frees and allocations
// of mixed sizes slowly; a block freed here is handed out again to the next object of its size.
// Blocks above MaxBytes, and every block in an AddressSanitizer build (so that a use after free
// stays visible), go straight to the global new and delete.
class OSG_BASE_DLLMAPPING SmallObjectPool {
public:
    static constexpr std::size_t Granule = 16;
    static constexpr std::size_t MaxBytes = 1024;
    static constexpr std::size_t NumClasses = MaxBytes / Granule;
    // Blocks a thread keeps per size at most; more are given back at once.
    static constexpr UInt32 MaxKeptPerSize = 4096;

    // False in builds that hand every block straight to new and delete (AddressSanitizer).
    static bool isPooling();

    static void* allocate(std::size_t bytes);
    // `bytes` must be the size given to allocate.
    static void deallocate(void* block, std::size_t bytes) noexcept;

    // The free blocks of one size, as a stack of pointers. The pointers are kept apart from
    // the blocks: taking a block then reads only this dense array, never the block itself,
    // whose memory has usually gone cold since it was freed.
    struct FreeStack {
        void** slots;
        UInt32 size;
        UInt32 capacity;
    };

private:
    friend class SmallObjectPoolThread;

    // What the inline paths leave: the first use on a thread, an empty or full stack, sizes
    // out of range.
    static void* allocateSlow(std::size_t bytes);
    static void deallocateSlow(void* block, std::size_t bytes) noexcept;

#ifndef OSG_POOL_PASS_THROUGH
    // The calling thread's stacks, NumClasses of them, made on first use; null before that and
    // once the thread's destructors ran. Plain __thread (no dynamic initialisation, hence no
    // wrapper call) in the initial-exec model: every library reaches it with one load, so the
    // common allocation and free are a handful of instructions inlined where they are used.
    static __thread FreeStack* _threadStacks __attribute__((tls_model("initial-exec")));
#endif
};

inline void* SmallObjectPool::allocate(std::size_t bytes)
{
#ifndef OSG_POOL_PASS_THROUGH
    FreeStack* stacks = _threadStacks;
    // bytes - 1 wraps for 0, which then takes the slow path like any size out of range.
    if (stacks != nullptr && bytes - 1 < MaxBytes) {
        FreeStack& stack = stacks[(bytes - 1) / Granule];
        if (stack.size > 0) {
            void* block = stack.slots[--stack.size];
            // The next object of this size will most likely follow soon: start fetching every
            // cache line of its block (it has usually gone cold since it was freed), so that
            // its misses overlap with the making of this one.
            if (stack.size > 0) {
                const std::uintptr_t next =
                    reinterpret_cast<std::uintptr_t>(stack.slots[stack.size - 1]);
                const std::uintptr_t end = next + ((bytes - 1) / Granule + 1) * Granule;
                for (std::uintptr_t line = next & ~std::uintptr_t(63); line < end; line += 64)
                    __builtin_prefetch(reinterpret_cast<const void*>(line), 1);
            }
            return block;
        }
    }
#endif
    return allocateSlow(bytes);
}

inline void SmallObjectPool::deallocate(void* block, std::size_t bytes) noexcept
{
#ifndef OSG_POOL_PASS_THROUGH
    FreeStack* stacks = _threadStacks;
    if (stacks != nullptr && block != nullptr && bytes - 1 < MaxBytes) {
        FreeStack& stack = stacks[(bytes - 1) / Granule];
        if (stack.size < stack.capacity) {
            stack.slots[stack.size++] = block;
            return;
        }
    }
#endif
    deallocateSlow(block, bytes);
}

// Class-scope new and delete that take objects from the pool, for the public part of a class
// declaration. A class with a virtual destructor gets the size of the most derived class on
// delete. (Declared in the class itself rather than inherited from an empty base, which would
// add a level to every dynamic_cast through the hierarchy.)
#define OSG_POOLED_ALLOCATION                                                                      \
    static void* operator new(std::size_t bytes)                                                   \
    {                                                                                              \
        return ::osg::SmallObjectPool::allocate(bytes);                                            \
    }                                                                                              \
    static void operator delete(void* block, std::size_t bytes) noexcept                           \
    {                                                                                              \
        ::osg::SmallObjectPool::deallocate(block, bytes);                                          \
    }

// Allocator for containers whose storage should come from the pool (the value lists of
// fields: most hold a handful of entries and are made and dropped with their container).
template <class T> class PoolAllocator {
public:
    typedef T value_type;

    PoolAllocator() = default;
    template <class U> PoolAllocator(const PoolAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return static_cast<T*>(SmallObjectPool::allocate(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { SmallObjectPool::deallocate(p, n * sizeof(T)); }

    template <class U> bool operator==(const PoolAllocator<U>&) const noexcept { return true; }
    template <class U> bool operator!=(const PoolAllocator<U>&) const noexcept { return false; }
};

OSG_END_NAMESPACE
