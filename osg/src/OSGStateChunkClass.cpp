#include <OpenSG/OSGStateChunkClass.h>

#include <atomic>

OSG_BEGIN_NAMESPACE

namespace {
std::atomic<UInt32>& classCounter()
{
    static std::atomic<UInt32> counter{0};
    return counter;
}
} // namespace

StateChunkClass::StateChunkClass(const Char8* name, UInt32 numSlots)
    : _name(name), _numSlots(numSlots), _id(classCounter()++)
{
}

UInt32 StateChunkClass::getNumClasses() { return classCounter().load(); }

OSG_END_NAMESPACE
