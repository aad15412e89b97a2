#pragma once

#include <OpenSG/OSGBaseTypes.h>

OSG_BEGIN_NAMESPACE

// A single-value field.
template <class ValueT> class SField {
public:
    typedef ValueT StoredType;

    SField() : _value() {}
    explicit SField(const ValueT& value) : _value(value) {}

    ValueT& getValue() { return _value; }
    const ValueT& getValue() const { return _value; }
    void setValue(const ValueT& value) { _value = value; }

private:
    ValueT _value;
};

OSG_END_NAMESPACE
