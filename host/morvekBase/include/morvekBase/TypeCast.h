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
    thread_local std::array<Entry, 8> entries;
    thread_local unsigned next = 0;
    thread_local unsigned generation = 0;
    const unsigned current = typeCastGeneration.load(std::memory_order_relaxed);
    if (generation != current) {
        entries = {};
        generation = current;
    }
    const std::type_info* type = &typeid(*p);
    for (const Entry& e : entries)
        if (e.type == type)
            return e.matches ? reinterpret_cast<To*>(reinterpret_cast<char*>(p) + e.offset)
                             : nullptr;
    To* result = dynamic_cast<To*>(p);
    Entry& e = entries[next];
    next = (next + 1) % entries.size();
    e.type = type;
    e.matches = result != nullptr;
    e.offset = result ? reinterpret_cast<const char*>(result) - reinterpret_cast<const char*>(p) : 0;
    return result;
}

} // namespace Morvek
