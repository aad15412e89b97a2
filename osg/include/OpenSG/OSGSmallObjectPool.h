#ifndef OSG_SMALLOBJECTPOOL_H
#define OSG_SMALLOBJECTPOOL_H

#include <OpenSG/OSGBaseTypes.h>

#include <cstddef>

OSG_BEGIN_NAMESPACE

// Free lists of small blocks by size, one set per thread. Scene graphs are built and torn
// down in bursts (an environment light replaces dozens of lights, each made of a few dozen
// small objects), and the general allocator handles a burst of that many frees and allocations
// of mixed sizes slowly; a block freed here is handed out again to the next object of its size.
// Blocks above MaxBytes, and every block in an AddressSanitizer build (so that a use after free
// stays visible), go straight to the global new and delete.
class OSG_BASE_DLLMAPPING SmallObjectPool
{
public:
    static constexpr std::size_t Granule = 16;
    static constexpr std::size_t MaxBytes = 1024;
    // Blocks a thread keeps per size at most; more are given back at once.
    static constexpr UInt32 MaxKeptPerSize = 4096;

    // False in builds that hand every block straight to new and delete (AddressSanitizer).
    static bool isPooling();

    static void* allocate(std::size_t bytes);
    // `bytes` must be the size given to allocate.
    static void deallocate(void* block, std::size_t bytes) noexcept;
};

// Class-scope new and delete that take objects from the pool, for the public part of a class
// declaration. A class with a virtual destructor gets the size of the most derived class on
// delete. (Declared in the class itself rather than inherited from an empty base, which would
// add a level to every dynamic_cast through the hierarchy.)
#define OSG_POOLED_ALLOCATION                                                                  \
    static void* operator new(std::size_t bytes)                                               \
    {                                                                                          \
        return ::osg::SmallObjectPool::allocate(bytes);                                        \
    }                                                                                          \
    static void operator delete(void* block, std::size_t bytes) noexcept                       \
    {                                                                                          \
        ::osg::SmallObjectPool::deallocate(block, bytes);                                      \
    }

// Allocator for containers whose storage should come from the pool (the value lists of
// fields: most hold a handful of entries and are made and dropped with their container).
template <class T> class PoolAllocator
{
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

#endif
