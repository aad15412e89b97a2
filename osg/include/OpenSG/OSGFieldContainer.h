#pragma once

#include <OpenSG/OSGFieldContainerPtr.h>
#include <OpenSG/OSGFieldContainerType.h>
#include <OpenSG/OSGSmallObjectPool.h>

// In a container class: the accessors of its type object `_type` (a private static member
// every class declares).
#define OSG_CONTAINER_TYPE_ACCESS                                                                  \
    static FieldContainerType& getClassType() { return _type; }                                    \
    static UInt32 getClassTypeId() { return _type.getId(); }                                       \
    FieldContainerType& getType() const override { return _type; }

// In the protected part of a container class without state of its own to set up: the
// constructors the prototype and shallowCopy() use, and the destructor.
#define OSG_CONTAINER_DEFAULT_LIFETIME(Class)                                                      \
    Class() = default;                                                                             \
    Class(const Class& source) = default;                                                          \
    ~Class() override = default;

OSG_BEGIN_NAMESPACE

// Root of every scene object. A container is reached only through its pointers, carries a
// reference count (0 after create()) and a process-unique id, and reacts to committed edits
// in changed(). Field ids continue along the class chain; id 0 is unused, so the first field
// of a direct subclass has id 1 and mask 1 << 1. Containers come from the small-object pool.
// There is one aspect: a scene graph belongs to one thread at a time, and the reference
// counts are plain integers (a locked increment on every reference change costs more than
// building a light's proxy geometry). The id and live counters change only when a container is
// made or destroyed and are atomic, so that threads may make and drop containers of their own
// (an image each, say) at the same time.
class FieldContainer {
public:
    OSG_POOLED_ALLOCATION

    static constexpr UInt32 NextFieldId = 1;

    // The bit of field id i.
    static constexpr BitVector maskOf(UInt32 fieldId) { return BitVector(1) << fieldId; }

    static FieldContainerType& getClassType() { return _type; }
    static UInt32 getClassTypeId() { return _type.getId(); }
    virtual FieldContainerType& getType() const { return _type; }
    UInt32 getTypeId() const { return getType().getId(); }
    const Char8* getTypeName() const { return getType().getCName(); }

    Int32 getRefCount() const { return _refCount; }
    UInt32 getContainerId() const { return _containerId; }

    // Reaction to a committed edit of the fields in whichField; the base does nothing.
    virtual void changed(BitVector whichField, UInt32 origin);

    // A new container with this one's field values (pointers copied without references),
    // a fresh id and reference count 0.
    virtual FieldContainerPtr shallowCopy() const = 0;

    FieldContainer& operator=(const FieldContainer&) = delete;

protected:
    FieldContainer();
    FieldContainer(const FieldContainer& source);
    virtual ~FieldContainer();

private:
    template <class Container> friend void addRefCP(const FieldContainerPtr&);
    template <class Container> friend void subRefCP(const FieldContainerPtr&);
    friend class FieldContainerType;
    friend void setContainerPermanent(const FieldContainerPtr&, bool);

    static FieldContainerType _type;

    Int32 _refCount;
    UInt32 _containerId;
    // Prototypes and the shared default materials are not counted as live.
    bool _permanent = false;
};

// Containers alive now, not counting prototypes and the permanent default materials: the
// figure for leak checks.
UInt32 getLiveContainerCount();

// Excludes a container from (or returns it to) getLiveContainerCount. Used for prototypes and
// the shared default materials.
void setContainerPermanent(const FieldContainerPtr& objectP, bool permanent);

OSG_END_NAMESPACE
