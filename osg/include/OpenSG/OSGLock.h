#pragma once

#include <OpenSG/OSGBaseTypes.h>

#include <mutex>
#include <string>

OSG_BEGIN_NAMESPACE

// A named mutual-exclusion lock. Recursive, so that code holding it may log again.
// The method names keep OpenSG's spelling (aquire).
class Lock {
public:
    explicit Lock(const Char8* name = "");
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void aquire();
    void release();
    // Takes the lock if it is free; true when taken.
    bool request();

    const std::string& getName() const { return _name; }

private:
    std::recursive_mutex _mutex;
    std::string _name;
};

OSG_END_NAMESPACE
