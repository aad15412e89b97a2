#pragma once

#include <OpenSG/OSGBaseTypes.h>

#include <atomic>
#include <utility>
#include <vector>

OSG_BEGIN_NAMESPACE

class FieldContainerPtr;
class FieldContainerType;

// The edits one thread has committed, in order: endEditCP adds the container and the fields
// it names. A list is made read-only, and a read-only list adds nothing: nothing in this layer
// syncs aspects or clears the list, so a list that recorded on its own would grow with every
// edit for as long as the process runs. Whoever wants to read the edits makes the list
// read-write for as long as it reads, and clears it.
class ChangeList {
public:
    // One edit: the container's id and the fields, as OpenSG keeps them (first, second), and
    // the container's type. OpenSG looks an id up in its store of all containers; this layer
    // keeps no such store, so a reader that names what was edited, perhaps after the
    // container is gone, takes the type from here.
    struct ChangeEntry : std::pair<UInt32, BitVector> {
        ChangeEntry(UInt32 containerId, BitVector whichField, const FieldContainerType* fcType)
            : std::pair<UInt32, BitVector>(containerId, whichField), type(fcType)
        {
        }
        const FieldContainerType* type;
    };
    typedef std::vector<ChangeEntry>::size_type changed_size_type;
    typedef std::vector<ChangeEntry>::const_iterator changed_const_iterator;

    ChangeList() = default;
    ~ChangeList();
    ChangeList(const ChangeList&) = delete;
    ChangeList& operator=(const ChangeList&) = delete;

    changed_size_type sizeChanged() const { return _changed.size(); }
    changed_const_iterator beginChanged() const { return _changed.begin(); }
    changed_const_iterator endChanged() const { return _changed.end(); }
    bool empty() const { return _changed.empty(); }

    // Appends (id, whichField) unless the list is read-only; nothing for NullFC.
    void addChanged(const FieldContainerPtr& container, BitVector whichField);
    void clearAll();

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return _readOnly; }

    // True while some thread's list is read-write. endEditCP asks this first, so that while
    // no list records an edit costs one load rather than a look-up of the thread's list.
    static bool anyReadWrite() { return _readWriteLists.load(std::memory_order_relaxed) != 0; }

private:
    static std::atomic<UInt32> _readWriteLists;

    bool _readOnly = true;
    std::vector<ChangeEntry> _changed;
};

OSG_END_NAMESPACE
