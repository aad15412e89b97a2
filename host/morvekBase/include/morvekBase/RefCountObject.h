#pragma once

#include <morvekBase/BaseObject.h>

namespace Morvek {

// An object whose life is governed by a reference count.
//
// The count starts at 0: whoever keeps the object calls addRef(), and the subRef() that brings
// the count back to 0 first calls the virtual shutdown() (while the whole object still exists,
// so that a subclass can take itself apart cleanly) and then deletes the object. An object that
// is never referenced is therefore never freed: hold new objects in a RefPtr or in a field.
// Copies start with a count of 0; assignment leaves both counts alone.
class RefCountObject : public BaseObject {
public:
    RefCountObject() = default;
    RefCountObject(const RefCountObject&);
    RefCountObject& operator=(const RefCountObject&);
    ~RefCountObject() override;

    // Last call before the destructor when the count drops to 0. Default: nothing.
    virtual void shutdown();

    void addRef();
    // Deletes the object when the count reaches 0. A subRef on an object whose count is
    // already 0 is a programming error: it is logged and ignored.
    void subRef();
    int getRefCount() const { return _refCount; }

private:
    int _refCount = 0;
    bool _dying = false; // set once shutdown() has begun: later subRefs never delete twice
};

} // namespace Morvek
