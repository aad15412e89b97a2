#include <OpenSG/OSGFieldContainer.h>

#include <OpenSG/OSGLog.h>

#include <atomic>
#include <ostream>

OSG_BEGIN_NAMESPACE

namespace {
// Every container ever made gets the next id; 0 stays free for NullFC. Relaxed: only the
// counts matter, nothing else is published through them.
std::atomic<UInt32> nextContainerId{1};
// Containers alive, and those of them excluded from the live count.
std::atomic<Int64> aliveContainers{0};
std::atomic<Int64> permanentContainers{0};
} // namespace

const NullFieldContainerPtr NullFC;

FieldContainerType FieldContainer::_type("FieldContainer", "", nullptr);

FieldContainer::FieldContainer()
    : _refCount(0), _containerId(nextContainerId.fetch_add(1, std::memory_order_relaxed))
{
    aliveContainers.fetch_add(1, std::memory_order_relaxed);
}

FieldContainer::FieldContainer(const FieldContainer&) : FieldContainer() {}

FieldContainer::~FieldContainer()
{
    aliveContainers.fetch_sub(1, std::memory_order_relaxed);
    if (_permanent)
        permanentContainers.fetch_sub(1, std::memory_order_relaxed);
}

void FieldContainer::changed(BitVector, UInt32) {}

UInt32 getLiveContainerCount()
{
    return UInt32(aliveContainers.load(std::memory_order_relaxed) -
                  permanentContainers.load(std::memory_order_relaxed));
}

void setContainerPermanent(const FieldContainerPtr& objectP, bool permanent)
{
    FieldContainer* fc = objectP.getCPtr();
    if (fc == nullptr || fc->_permanent == permanent)
        return;
    fc->_permanent = permanent;
    permanentContainers.fetch_add(permanent ? 1 : -1, std::memory_order_relaxed);
}

Int32 FieldContainerPtr::getRefCount() const
{
    return _object != nullptr ? _object->getRefCount() : 0;
}

UInt32 FieldContainerPtr::getFieldContainerId() const
{
    return _object != nullptr ? _object->getContainerId() : 0;
}

Int32 getRefCount(const FieldContainerPtr& objectP) { return objectP.getRefCount(); }

UInt32 getContainerId(const FieldContainerPtr& objectP) { return objectP.getFieldContainerId(); }

void beginEditCP(const FieldContainerPtr&, BitVector, UInt32) {}

void endEditNotChangedCP(const FieldContainerPtr&, BitVector, UInt32) {}

std::ostream& operator<<(std::ostream& os, const FieldContainerPtr& p)
{
    if (p == NullFC)
        return os << "NullFC";
    return os << p->getTypeName() << '#' << p->getContainerId();
}

OSG_END_NAMESPACE
