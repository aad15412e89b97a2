#pragma once

#include <OpenSG/OSGBaseTypes.h>
#include <OpenSG/OSGSmallObjectPool.h>

#include <algorithm>
#include <memory>
#include <vector>

OSG_BEGIN_NAMESPACE

// A multi-value field: a vector with OpenSG's names. operator[] does not check bounds. The
// values live in pool storage: most fields hold a few entries and come and go with their
// container.
//
// A field can also hold values shared with other fields (shareValues), read-only until it is
// written: every accessor that could change them first makes the field a private copy. The
// geometry builders hand out their arrays this way, so that a hundred identical light proxies
// hold one copy of the vertices between them while each still behaves as owning its own.
template <class ValueT> class MField {
public:
    typedef ValueT StoredType;
    typedef std::vector<ValueT, PoolAllocator<ValueT>> StorageType;
    typedef typename StorageType::iterator iterator;
    typedef typename StorageType::const_iterator const_iterator;
    typedef typename StorageType::reference reference;
    typedef typename StorageType::const_reference const_reference;

    UInt32 size() const { return UInt32(values().size()); }
    UInt32 getSize() const { return UInt32(values().size()); }
    bool empty() const { return values().empty(); }

    reference operator[](UInt32 i) { return own()[i]; }
    const_reference operator[](UInt32 i) const { return values()[i]; }
    reference getValue(UInt32 i) { return own()[i]; }
    const_reference getValue(UInt32 i) const { return values()[i]; }
    reference front() { return own().front(); }
    const_reference front() const { return values().front(); }
    reference back() { return own().back(); }
    const_reference back() const { return values().back(); }

    iterator begin() { return own().begin(); }
    iterator end() { return own().end(); }
    const_iterator begin() const { return values().begin(); }
    const_iterator end() const { return values().end(); }

    // The first element equal to value, or end().
    iterator find(const ValueT& value) { return std::find(begin(), end(), value); }
    const_iterator find(const ValueT& value) const { return std::find(begin(), end(), value); }

    void push_back(const ValueT& value) { own().push_back(value); }
    iterator insert(iterator pos, const ValueT& value) { return own().insert(pos, value); }
    iterator erase(iterator pos) { return own().erase(pos); }
    void clear()
    {
        _shared.reset();
        _values.clear();
    }
    void resize(UInt32 n, const ValueT& value = ValueT()) { own().resize(n, value); }
    void reserve(UInt32 n) { own().reserve(n); }

    StorageType& getValues() { return own(); }
    const StorageType& getValues() const { return values(); }
    void setValues(const StorageType& values)
    {
        _shared.reset();
        _values = values;
    }
    template <class Allocator> void setValues(const std::vector<ValueT, Allocator>& values)
    {
        _shared.reset();
        _values.assign(values.begin(), values.end());
    }
    // Takes `values` without copying them; they stay shared until this field is written.
    void shareValues(const std::shared_ptr<const StorageType>& values)
    {
        _values = StorageType();
        _shared = values;
    }
    // True while the values are shared (for checks).
    bool isShared() const { return _shared != nullptr; }

private:
    const StorageType& values() const { return _shared ? *_shared : _values; }
    StorageType& own()
    {
        if (_shared) {
            _values = *_shared;
            _shared.reset();
        }
        return _values;
    }

    StorageType _values;
    std::shared_ptr<const StorageType> _shared;
};

OSG_END_NAMESPACE
