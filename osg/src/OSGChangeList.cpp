#include <OpenSG/OSGChangeList.h>

#include <OpenSG/OSGFieldContainer.h>

OSG_BEGIN_NAMESPACE

std::atomic<UInt32> ChangeList::_readWriteLists{0};

ChangeList::~ChangeList() { setReadOnly(true); }

void ChangeList::addChanged(const FieldContainerPtr& container, BitVector whichField)
{
    FieldContainer* fc = container.getCPtr();
    if (_readOnly || fc == nullptr)
        return;
    _changed.emplace_back(fc->getContainerId(), whichField, &fc->getType());
}

void ChangeList::clearAll() { _changed.clear(); }

void ChangeList::setReadOnly(bool readOnly)
{
    if (readOnly == _readOnly)
        return;
    _readOnly = readOnly;
    if (readOnly)
        _readWriteLists.fetch_sub(1, std::memory_order_relaxed);
    else
        _readWriteLists.fetch_add(1, std::memory_order_relaxed);
}

OSG_END_NAMESPACE
