#include <OpenSG/OSGEditJournal.h>

#include <OpenSG/OSGFieldContainer.h>

#include <atomic>
#include <mutex>

OSG_BEGIN_NAMESPACE

namespace
{
std::mutex& journalMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Off by default; read without the lock so that commits cost nothing while it is off.
std::atomic<bool> recording{false};

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
    // Gives the memory back too, not only the records.
    std::vector<EditRecord>().swap(journal());
}

void EditJournal::setEnabled(bool enabled)
{
    recording.store(enabled, std::memory_order_relaxed);
}

bool EditJournal::isEnabled()
{
    return recording.load(std::memory_order_relaxed);
}

void EditJournal::add(const FieldContainerPtr& container, BitVector mask)
{
    if (!recording.load(std::memory_order_relaxed) || container == NullFC)
        return;
    EditRecord record{container->getContainerId(), container->getTypeName(), mask};
    std::lock_guard<std::mutex> guard(journalMutex());
    journal().push_back(std::move(record));
}

OSG_END_NAMESPACE
