#include <OpenSG/OSGEditJournal.h>

#include <OpenSG/OSGFieldContainer.h>

#include <mutex>

OSG_BEGIN_NAMESPACE

namespace
{
std::mutex& journalMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<EditRecord>& journal()
{
    static std::vector<EditRecord> records;
    return records;
}
} // namespace

const std::vector<EditRecord>& EditJournal::records()
{
    return journal();
}

void EditJournal::clear()
{
    std::lock_guard<std::mutex> guard(journalMutex());
    journal().clear();
}

void EditJournal::add(const FieldContainerPtr& container, BitVector mask)
{
    if (container == NullFC)
        return;
    EditRecord record{container->getContainerId(), container->getTypeName(), mask};
    std::lock_guard<std::mutex> guard(journalMutex());
    journal().push_back(std::move(record));
}

OSG_END_NAMESPACE
