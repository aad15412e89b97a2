#pragma once

#include <OpenSG/OSGBaseTypes.h>

OSG_BEGIN_NAMESPACE

class ChangeList;

// What belongs to the calling thread. This layer has one aspect and starts no threads of its
// own, so all a thread has of its own is its change list.
class Thread {
public:
    Thread() = delete;

    // The calling thread's change list, made on the thread's first call; it lives as long as
    // the thread.
    static ChangeList* getCurrentChangeList();
};

OSG_END_NAMESPACE
