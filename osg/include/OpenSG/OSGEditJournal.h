#pragma once

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

// Test hook: the edits the calling thread's change list has recorded. While recording is on,
// every endEditCP and changedCP on a non-null container leaves one record. endEditNotChangedCP
// and the layer's own bookkeeping (parents lists, a child's parent field) add nothing. Compare
// containerId with getContainerId(ptr).
//
// Recording is off by default (the change list is read-only): a long-running process commits
// edits without end, and a list of all of them would only grow. Tests that read records() turn
// it on, best through ScopedEditJournal.
class EditJournal
{
public:
    static std::vector<EditRecord> records();
    static void clear();
    // Turns recording on or off; records already taken stay until clear().
    static void setEnabled(bool enabled);
    static bool isEnabled();
};

OSG_END_NAMESPACE
