#include <osgTestSupport/EditJournal.h>

#include <OpenSG/OSGChangeList.h>
#include <OpenSG/OSGFieldContainerType.h>
#include <OpenSG/OSGThread.h>

namespace Morvek::osgTestSupport {

std::vector<EditRecord> EditJournal::records()
{
    const osg::ChangeList& changes = *osg::Thread::getCurrentChangeList();
    std::vector<EditRecord> result;
    result.reserve(changes.sizeChanged());
    for (auto it = changes.beginChanged(); it != changes.endChanged(); ++it)
        result.push_back(EditRecord{it->first, it->type->getName(), it->second});
    return result;
}

void EditJournal::clear() { osg::Thread::getCurrentChangeList()->clearAll(); }

void EditJournal::setEnabled(bool enabled)
{
    osg::Thread::getCurrentChangeList()->setReadOnly(!enabled);
}

bool EditJournal::isEnabled() { return !osg::Thread::getCurrentChangeList()->isReadOnly(); }

} // namespace Morvek::osgTestSupport
