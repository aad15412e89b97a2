#pragma once

#include <OpenSG/OSGSmallObjectPool.h>

namespace Morvek {

// Root of every host object: gives the hierarchy one virtual destructor so that objects can be
// handed around as BaseObject* (the creation context of a node is one) and cast back safely.
// Host objects come from OpenSG's small-object pool: nodes and processors are made and
// dropped in bursts, like the scene objects they carry.
class BaseObject {
public:
    OSG_POOLED_ALLOCATION

    BaseObject() = default;
    BaseObject(const BaseObject&) = default;
    BaseObject& operator=(const BaseObject&) = default;
    virtual ~BaseObject();
};

} // namespace Morvek
