#ifndef OSG_MFIELD_H
#define OSG_MFIELD_H

#include <OpenSG/OSGBaseTypes.h>
#include <OpenSG/OSGSmallObjectPool.h>

#include <algorithm>
#include <vector>

OSG_BEGIN_NAMESPACE

// A multi-value field: a vector with OpenSG's names. operator[] does not check bounds. The
// values live in pool storage: most fields hold a few entries and come and go with their
// container.
template <class ValueT> class MField
{
public:
    typedef ValueT StoredType;
    typedef std::vector<ValueT, PoolAllocator<ValueT>> StorageType;
    typedef typename StorageType::iterator iterator;
    typedef typename StorageType::const_iterator const_iterator;
    typedef typename StorageType::reference reference;
    typedef typename StorageType::const_reference const_reference;

    UInt32 size() const { return UInt32(_values.size()); }
    UInt32 getSize() const { return UInt32(_values.size()); }
    bool empty() const { return _values.empty(); }

    reference operator[](UInt32 i) { return _values[i]; }
    const_reference operator[](UInt32 i) const { return _values[i]; }
    reference getValue(UInt32 i) { return _values[i]; }
    const_reference getValue(UInt32 i) const { return _values[i]; }
    reference front() { return _values.front(); }
    const_reference front() const { return _values.front(); }
    reference back() { return _values.back(); }
    const_reference back() const { return _values.back(); }

    iterator begin() { return _values.begin(); }
    iterator end() { return _values.end(); }
    const_iterator begin() const { return _values.begin(); }
    const_iterator end() const { return _values.end(); }

    // The first element equal to value, or end().
    iterator find(const ValueT& value) { return std::find(_values.begin(), _values.end(), value); }
    const_iterator find(const ValueT& value) const { return std::find(_values.begin(), _values.end(), value); }

    void push_back(const ValueT& value) { _values.push_back(value); }
    iterator insert(iterator pos, const ValueT& value) { return _values.insert(pos, value); }
    iterator erase(iterator pos) { return _values.erase(pos); }
    void clear() { _values.clear(); }
    void resize(UInt32 n, const ValueT& value = ValueT()) { _values.resize(n, value); }
    void reserve(UInt32 n) { _values.reserve(n); }

    StorageType& getValues() { return _values; }
    const StorageType& getValues() const { return _values; }
    void setValues(const StorageType& values) { _values = values; }
    template <class Allocator> void setValues(const std::vector<ValueT, Allocator>& values)
    {
        _values.assign(values.begin(), values.end());
    }

private:
    StorageType _values;
};

OSG_END_NAMESPACE

#endif
