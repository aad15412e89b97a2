#pragma once

#include <morvekBase/Field.h>
#include <morvekBase/Runtime.h>

namespace Morvek {

// A field holding one value of type T.
template <class T> class XField : public Field {
public:
    XField(Node& owner, const T& init) : Field(owner), _value(init) {}
    XField(Node& owner) : Field(owner), _value() {}

    const T& getValue() const { return _value; }

    // Stores the value and announces the change with the host's current time
    // (Runtime::getTime()). Every call announces, also when the value is unchanged.
    void setValue(const T& value)
    {
        _value = value;
        processValueChange(Runtime::instance().getTime(), CallerHost);
    }
    // Stores the value without announcing it (used for initial values).
    void storeValue(const T& value) { _value = value; }

protected:
    T _value;
};

} // namespace Morvek
