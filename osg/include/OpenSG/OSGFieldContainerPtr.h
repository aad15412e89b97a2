#pragma once

#include <OpenSG/OSGBaseTypes.h>
#include <OpenSG/OSGChangeList.h>
#include <OpenSG/OSGThread.h>

#include <iosfwd>
#include <type_traits>

OSG_BEGIN_NAMESPACE

class FieldContainer;

// Field masks of a whole container.
struct FieldBits {
    static constexpr BitVector AllFields = ~BitVector(0);
    static constexpr BitVector NoField = BitVector(0);
};

// Who caused a change; passed on to changed().
struct ChangedOrigin {
    enum : UInt32 {
        External = 0x0001,
        Sync = 0x0002,
        Child = 0x0004,
        Abstract = 0x0008,
        AbstrIgnoreCore = 0x0100,
        AbstrIgnoreChild = 0x0200,
        AbstrCheckValid = 0x0400,
        AbstrIncRefCount = 0x0800
    };
};

// The untyped pointer to a field container. Pointers are plain values: copying one neither
// adds nor removes a reference. Two pointers are equal when they name the same container;
// a default-constructed pointer is null and equals NullFC.
class FieldContainerPtr {
public:
    typedef FieldContainer StoredObjectType;

    FieldContainerPtr() = default;
    explicit FieldContainerPtr(const FieldContainer* object)
        : _object(const_cast<FieldContainer*>(object))
    {
    }

    FieldContainer* operator->() const { return _object; }
    FieldContainer& operator*() const { return *_object; }
    FieldContainer* getCPtr() const { return _object; }
    FieldContainer* getBaseCPtr() const { return _object; }

    // The container's reference count; 0 for a null pointer.
    Int32 getRefCount() const;
    // The container's process-unique id; 0 for a null pointer.
    UInt32 getFieldContainerId() const;

    bool operator==(const FieldContainerPtr& other) const { return _object == other._object; }
    bool operator!=(const FieldContainerPtr& other) const { return _object != other._object; }
    bool operator<(const FieldContainerPtr& other) const { return _object < other._object; }
    explicit operator bool() const { return _object != nullptr; }

    static FieldContainerPtr dcast(const FieldContainerPtr& p) { return p; }

private:
    FieldContainer* _object = nullptr;
};

// The type of NullFC; every typed pointer converts from it.
class NullFieldContainerPtr : public FieldContainerPtr {
public:
    NullFieldContainerPtr() = default;
};

// The one null container pointer.
extern const NullFieldContainerPtr NullFC;

// The container as a T, or null. Most casts name the container's own class: those are settled
// by comparing type records, and only the others pay for a dynamic_cast. (A template, so that
// FieldContainer only needs to be complete where a cast is made.)
template <class T, class FC> T* castContainer(FC* fc)
{
    if (fc != nullptr && &fc->getType() == &T::getClassType())
        return static_cast<T*>(fc);
    return dynamic_cast<T*>(fc);
}

// Typed pointer: BasePtrT is the pointer of the parent class, so pointers follow the class
// chain and upcasts are implicit. dcast is a checked downcast (null when the type does not
// match or the input is null).
template <class BasePtrT, class ContainerT> class FCPtr : public BasePtrT {
public:
    typedef ContainerT StoredObjectType;
    typedef BasePtrT Inherited;

    FCPtr() = default;
    FCPtr(const NullFieldContainerPtr&) : BasePtrT() {}
    explicit FCPtr(const ContainerT* object) : BasePtrT(object) {}
    explicit FCPtr(const ContainerT& object) : BasePtrT(&object) {}

    ContainerT* operator->() const { return static_cast<ContainerT*>(this->getBaseCPtr()); }
    ContainerT& operator*() const { return *static_cast<ContainerT*>(this->getBaseCPtr()); }
    ContainerT* getCPtr() const { return static_cast<ContainerT*>(this->getBaseCPtr()); }

    static FCPtr dcast(const FieldContainerPtr& p)
    {
        return FCPtr(castContainer<ContainerT>(p.getBaseCPtr()));
    }
};

// Reference counting. Both ignore NullFC. subRefCP destroys the container at once when the
// count drops to 0 or below (so subRefCP on a fresh container, count 0, destroys it).
// Inline, as templates only so that their bodies, which reach into the container, compile
// where they are used (the container class is complete there): a light's scene graph takes
// and drops dozens of references, and a call into the library for each costs more than the
// count itself.
template <class Container = FieldContainer> inline void addRefCP(const FieldContainerPtr& objectP)
{
    if (Container* fc = objectP.getCPtr())
        ++fc->_refCount;
}
template <class Container = FieldContainer> inline void subRefCP(const FieldContainerPtr& objectP)
{
    Container* fc = objectP.getCPtr();
    // Destroyed at once when the count reaches 0 or below; the destructor releases what the
    // container holds, which may cascade.
    if (fc != nullptr && --fc->_refCount <= 0)
        delete fc;
}
Int32 getRefCount(const FieldContainerPtr& objectP);
// The container's process-unique id (0 for NullFC); ids are never reused.
UInt32 getContainerId(const FieldContainerPtr& objectP);

template <class T> struct NonDeducedPtr {
    typedef T type;
};

// Releases the old value of dst, references src and stores it; nothing when they are equal.
template <class PtrT> void setRefdCP(PtrT& dst, const typename NonDeducedPtr<PtrT>::type& src)
{
    if (dst == src)
        return;
    addRefCP(src);
    PtrT old = dst;
    dst = src;
    subRefCP(old);
}

// Releases p and sets it to NullFC.
template <class PtrT> void clearRefCP(PtrT& p)
{
    PtrT old = p;
    p = PtrT();
    subRefCP(old);
}

// Edit protocol. beginEditCP does nothing. endEditCP records (container, whichField) in the
// calling thread's change list, which keeps it only while read-write, and then calls the
// container's changed(whichField, origin); changedCP does the same. endEditNotChangedCP does
// neither. All ignore NullFC.
void beginEditCP(const FieldContainerPtr& objectP, BitVector whichField = FieldBits::AllFields,
                 UInt32 origin = ChangedOrigin::External);
template <class Container = FieldContainer>
inline void endEditCP(const FieldContainerPtr& objectP, BitVector whichField = FieldBits::AllFields,
                      UInt32 origin = ChangedOrigin::External)
{
    if (Container* fc = objectP.getCPtr()) {
        if (ChangeList::anyReadWrite())
            Thread::getCurrentChangeList()->addChanged(objectP, whichField);
        fc->changed(whichField, origin);
    }
}
template <class Container = FieldContainer>
inline void changedCP(const FieldContainerPtr& objectP, BitVector whichField = FieldBits::AllFields,
                      UInt32 origin = ChangedOrigin::External)
{
    endEditCP<Container>(objectP, whichField, origin);
}
void endEditNotChangedCP(const FieldContainerPtr& objectP,
                         BitVector whichField = FieldBits::AllFields,
                         UInt32 origin = ChangedOrigin::External);

// "TypeName#id", or "NullFC".
std::ostream& operator<<(std::ostream& os, const FieldContainerPtr& p);

OSG_END_NAMESPACE
