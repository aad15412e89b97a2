#pragma once

#include <OpenSG/OSGFieldContainerPtr.h>

#include <string>
#include <vector>

namespace Morvek::osgTestSupport {

// One committed edit: which container (its id and type name) and which fields.
struct EditRecord {
    osg::UInt32 containerId;
    std::string typeName;
    osg::BitVector mask;
};

// The edits the calling thread's change list has recorded, as records. While recording is on,
// every endEditCP and changedCP on a non-null container leaves one record. endEditNotChangedCP
// and the scene layer's own bookkeeping (parents lists, a child's parent field) add nothing.
// Compare containerId with osg::getContainerId(ptr).
//
// Recording is off by default (the change list is read-only): a long-running process commits
// edits without end, and a list of all of them would only grow. Tests that read records() turn
// it on, best through ScopedEditJournal.
class EditJournal {
public:
    static std::vector<EditRecord> records();
    static void clear();
    // Turns recording on or off; records already taken stay until clear().
    static void setEnabled(bool enabled);
    static bool isEnabled();
};

} // namespace Morvek::osgTestSupport
