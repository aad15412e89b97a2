#pragma once

#include <osgTestSupport/EditJournal.h>

namespace Morvek::osgTestSupport {

// Records committed edits for its lifetime: starts with an empty journal and recording on,
// and on destruction empties the journal and puts recording back as it found it.
class ScopedEditJournal {
public:
    ScopedEditJournal() : _wasEnabled(EditJournal::isEnabled())
    {
        EditJournal::clear();
        EditJournal::setEnabled(true);
    }
    ~ScopedEditJournal()
    {
        EditJournal::setEnabled(_wasEnabled);
        EditJournal::clear();
    }
    ScopedEditJournal(const ScopedEditJournal&) = delete;
    ScopedEditJournal& operator=(const ScopedEditJournal&) = delete;

private:
    bool _wasEnabled;
};

} // namespace Morvek::osgTestSupport
