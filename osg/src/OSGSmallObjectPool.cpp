#include <OpenSG/OSGSmallObjectPool.h>

#include <cstdlib>
#include <cstring>
#include <new>

OSG_BEGIN_NAMESPACE

#ifndef OSG_POOL_PASS_THROUGH
__thread SmallObjectPool::FreeStack* SmallObjectPool::_threadStacks = nullptr;

namespace {
// Set once the thread's destructors ran: later frees (static objects torn down at exit) and
// allocations go to the global new and delete.
__thread bool threadDrained __attribute__((tls_model("initial-exec"))) = false;
} // namespace
#endif

// Reaches the thread's stacks for the slow paths, and gives the kept blocks back when the
// thread ends.
class SmallObjectPoolThread {
public:
#ifndef OSG_POOL_PASS_THROUGH
    // The thread's stacks; null once the thread is ending or when memory runs out.
    static SmallObjectPool::FreeStack* stacks()
    {
        SmallObjectPool::FreeStack* stacks = SmallObjectPool::_threadStacks;
        if (stacks != nullptr || threadDrained)
            return stacks;
        stacks = new (std::nothrow) SmallObjectPool::FreeStack[SmallObjectPool::NumClasses]();
        if (stacks != nullptr) {
            drain.armed = true; // registers the thread's drain
            SmallObjectPool::_threadStacks = stacks;
        }
        return stacks;
    }

private:
    struct Drain {
        bool armed = false;
        ~Drain()
        {
            threadDrained = true;
            SmallObjectPool::FreeStack* stacks = SmallObjectPool::_threadStacks;
            SmallObjectPool::_threadStacks = nullptr;
            if (stacks == nullptr)
                return;
            for (std::size_t c = 0; c < SmallObjectPool::NumClasses; ++c) {
                for (UInt32 i = 0; i < stacks[c].size; ++i)
                    ::operator delete(stacks[c].slots[i]);
                std::free(stacks[c].slots);
            }
            delete[] stacks;
        }
    };
    static thread_local Drain drain;
#endif
};

#ifndef OSG_POOL_PASS_THROUGH
thread_local SmallObjectPoolThread::Drain SmallObjectPoolThread::drain;

namespace {
constexpr std::size_t classOf(std::size_t bytes) { return (bytes - 1) / SmallObjectPool::Granule; }

// Room for one more pointer; false when the stack is at its cap or memory runs out.
bool grow(SmallObjectPool::FreeStack& stack)
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

void* SmallObjectPool::allocateSlow(std::size_t bytes)
{
#ifndef OSG_POOL_PASS_THROUGH
    if (bytes != 0 && bytes <= MaxBytes) {
        if (FreeStack* stacks = SmallObjectPoolThread::stacks()) {
            const std::size_t c = classOf(bytes);
            FreeStack& stack = stacks[c];
            if (stack.size > 0) // the stacks were only just made on this call
                return stack.slots[--stack.size];
            // Every block of a class has the class's full size, so any of them fits any
            // request of that class later.
            return ::operator new((c + 1) * Granule);
        }
    }
#endif
    return ::operator new(bytes);
}

void SmallObjectPool::deallocateSlow(void* block, std::size_t bytes) noexcept
{
    if (block == nullptr)
        return;
#ifndef OSG_POOL_PASS_THROUGH
    if (bytes != 0 && bytes <= MaxBytes) {
        if (FreeStack* stacks = SmallObjectPoolThread::stacks()) {
            FreeStack& stack = stacks[classOf(bytes)];
            if (stack.size < stack.capacity || grow(stack)) {
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
