#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <typeinfo>

namespace Morvek {

// Bumped whenever code may have been unloaded (a node pool closed): the type_info of an
// unloaded class may be followed by another class's at the same address, so every
// remembered cast is forgotten.
extern std::atomic<unsigned> typeCastGeneration;

// dynamic_cast<To*>(p) for the host's single-inheritance hierarchies, remembering per thread
// the answer for the last few dynamic types seen. A node or processor is cast on every link
// and attach, always to the same few classes; dynamic_cast walks the class chain and compares
// type names each time, where this compares one type_info address.
//
// The remembered answer is the pointer adjustment, which is the same for every object of one
// dynamic type as long as `From` occurs once in it (no repeated base classes). Whoever
// unloads code with classes in it increments typeCastGeneration first (NodePoolLoader does).
template <class To, class From> To* typeCast(From* p)
{
    if (!p)
        return nullptr;
    struct Entry {
        const std::type_info* type = nullptr;
        std::ptrdiff_t offset = 0;
        bool matches = false;
    };
    // One thread-local object rather than three: each costs a look-up of its own.
    struct Cache {
        std::array<Entry, 8> entries;
        unsigned next = 0;
        unsigned generation = 0;
    };
    thread_local Cache cache;
    const unsigned current = typeCastGeneration.load(std::memory_order_relaxed);
    if (cache.generation != current) {
        cache.entries = {};
        cache.generation = current;
    }
    const std::type_info* type = &typeid(*p);
    for (const Entry& e : cache.entries)
        if (e.type == type)
            return e.matches ? reinterpret_cast<To*>(reinterpret_cast<char*>(p) + e.offset)
                             : nullptr;
    To* result = dynamic_cast<To*>(p);
    Entry& e = cache.entries[cache.next];
    cache.next = (cache.next + 1) % cache.entries.size();
    e.type = type;
    e.matches = result != nullptr;
    e.offset =
        result ? reinterpret_cast<const char*>(result) - reinterpret_cast<const char*>(p) : 0;
    return result;
}

} // namespace Morvek
