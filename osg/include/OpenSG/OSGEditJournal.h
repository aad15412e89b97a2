#ifndef OSG_EDITJOURNAL_H
#define OSG_EDITJOURNAL_H

#include <OpenSG/OSGFieldContainerPtr.h>

#include <string>
#include <vector>

OSG_BEGIN_NAMESPACE

// One committed edit: which container (its id and type name) and which fields.
struct EditRecord
{
    UInt32 containerId;
    std::string typeName;
    BitVector mask;
};

// Test hook: the process-wide list of committed edits. Every endEditCP and changedCP on a
// non-null container appends one record, after the container's changed() has run.
// endEditNotChangedCP and the layer's own bookkeeping (parents lists, a child's parent
// field) add nothing. Compare containerId with getContainerId(ptr).
class EditJournal
{
public:
    static const std::vector<EditRecord>& records();
    static void clear();
    // Appends a record; called by the edit protocol.
    static void add(const FieldContainerPtr& container, BitVector mask);
};

OSG_END_NAMESPACE

#endif
