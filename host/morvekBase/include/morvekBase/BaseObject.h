#pragma once

namespace Morvek {

// Root of every host object: gives the hierarchy one virtual destructor so that objects can be
// handed around as BaseObject* (the creation context of a node is one) and cast back safely.
class BaseObject {
public:
    BaseObject() = default;
    BaseObject(const BaseObject&) = default;
    BaseObject& operator=(const BaseObject&) = default;
    virtual ~BaseObject();
};

} // namespace Morvek
