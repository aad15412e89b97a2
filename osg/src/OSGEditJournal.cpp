#include <OpenSG/OSGEditJournal.h>

#include <OpenSG/OSGChangeList.h>
#include <OpenSG/OSGFieldContainerType.h>
#include <OpenSG/OSGThread.h>

OSG_BEGIN_NAMESPACE

std::vector<EditRecord> EditJournal::records()
{
    const ChangeList& changes = *Thread::getCurrentChangeList();
    std::vector<EditRecord> result;
    result.reserve(changes.sizeChanged());
    for (auto it = changes.beginChanged(); it != changes.endChanged(); ++it)
        result.push_back(EditRecord{it->first, it->type->getName(), it->second});
    return result;
}

void EditJournal::clear()
{
    Thread::getCurrentChangeList()->clearAll();
}

void EditJournal::setEnabled(bool enabled)
{
    Thread::getCurrentChangeList()->setReadOnly(!enabled);
}

bool EditJournal::isEnabled()
{
    return !Thread::getCurrentChangeList()->isReadOnly();
}

OSG_END_NAMESPACE
