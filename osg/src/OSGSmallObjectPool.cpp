#include <OpenSG/OSGSmallObjectPool.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define OSG_POOL_PASS_THROUGH 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSG_POOL_PASS_THROUGH 1
#endif
#endif

OSG_BEGIN_NAMESPACE

#ifndef OSG_POOL_PASS_THROUGH
namespace
{
constexpr std::size_t numClasses = SmallObjectPool::MaxBytes / SmallObjectPool::Granule;

// The free blocks of one size, as a stack of pointers. The pointers are kept apart from the
// blocks: taking a block then reads only this dense array, never the block itself, whose
// memory has usually gone cold since it was freed (a rebuild frees a graph, streams an image
// through the caches, then builds a new graph). The misses of the new objects' first writes can
// then overlap instead of forming one chain through the blocks.
struct FreeStack
{
    void** slots;
    UInt32 size;
    UInt32 capacity;
};

struct FreeLists
{
    std::array<FreeStack, numClasses> stacks;
};

// The calling thread's lists, made on first use. Only this pointer and a flag live in
// thread-local storage, in the initial-exec model: the hot paths read them with one
// instruction instead of a call into the dynamic linker, and the few bytes fit the space
// the loader keeps for libraries opened later.
thread_local FreeLists* threadLists __attribute__((tls_model("initial-exec"))) = nullptr;
// Set once the thread's destructors ran: later frees (static objects torn down at exit) and
// allocations go to the global new and delete.
thread_local bool threadDrained __attribute__((tls_model("initial-exec"))) = false;

// Gives the kept blocks back when the thread ends.
struct Drain
{
    bool armed = false;
    ~Drain()
    {
        threadDrained = true;
        FreeLists* lists = threadLists;
        threadLists = nullptr;
        if (lists == nullptr)
            return;
        for (FreeStack& stack : lists->stacks)
        {
            for (UInt32 i = 0; i < stack.size; ++i)
                ::operator delete(stack.slots[i]);
            std::free(stack.slots);
        }
        delete lists;
    }
};
thread_local Drain drain;

// The thread's lists; null once the thread is ending or when memory runs out.
FreeLists* listsOfThisThread()
{
    FreeLists* lists = threadLists;
    if (lists != nullptr || threadDrained)
        return lists;
    lists = new (std::nothrow) FreeLists();
    if (lists != nullptr)
    {
        drain.armed = true; // registers the thread's drain
        threadLists = lists;
    }
    return lists;
}

constexpr std::size_t classOf(std::size_t bytes)
{
    return (bytes + SmallObjectPool::Granule - 1) / SmallObjectPool::Granule - 1;
}

// Room for one more pointer; false when the stack is at its cap or memory runs out.
bool grow(FreeStack& stack)
{
    if (stack.capacity >= SmallObjectPool::MaxKeptPerSize)
        return false;
    const UInt32 capacity = stack.capacity == 0 ? 64 : 2 * stack.capacity;
    void** slots = static_cast<void**>(std::malloc(capacity * sizeof(void*)));
    if (slots == nullptr)
        return false;
    if (stack.size > 0)
        std::memcpy(slots, stack.slots, stack.size * sizeof(void*));
    std::free(stack.slots);
    stack.slots = slots;
    stack.capacity = capacity;
    return true;
}
} // namespace
#endif

bool SmallObjectPool::isPooling()
{
#ifndef OSG_POOL_PASS_THROUGH
    return true;
#else
    return false;
#endif
}

void* SmallObjectPool::allocate(std::size_t bytes)
{
#ifndef OSG_POOL_PASS_THROUGH
    if (bytes != 0 && bytes <= MaxBytes)
    {
        if (FreeLists* lists = listsOfThisThread())
        {
            const std::size_t c = classOf(bytes);
            FreeStack& stack = lists->stacks[c];
            if (stack.size > 0)
            {
                void* block = stack.slots[--stack.size];
                // The next object of this size will most likely follow soon: start fetching it,
                // so that its miss overlaps with the making of this one.
                if (stack.size > 0)
                    __builtin_prefetch(stack.slots[stack.size - 1], 1);
                return block;
            }
            // Every block of a class has the class's full size, so any of them fits any
            // request of that class later.
            return ::operator new((c + 1) * Granule);
        }
    }
#endif
    return ::operator new(bytes);
}

void SmallObjectPool::deallocate(void* block, std::size_t bytes) noexcept
{
    if (block == nullptr)
        return;
#ifndef OSG_POOL_PASS_THROUGH
    if (bytes != 0 && bytes <= MaxBytes)
    {
        if (FreeLists* lists = listsOfThisThread())
        {
            FreeStack& stack = lists->stacks[classOf(bytes)];
            if (stack.size < stack.capacity || grow(stack))
            {
                stack.slots[stack.size++] = block;
                return;
            }
        }
    }
#else
    (void)bytes;
#endif
    ::operator delete(block);
}

OSG_END_NAMESPACE
