#pragma once

#include <OpenSG/OSGDrawableFields.h>
#include <OpenSG/OSGNodeCore.h>

OSG_BEGIN_NAMESPACE

// Abstract core that draws something. No fields of its own.
class Drawable : public NodeCore {
    typedef NodeCore Inherited;

public:
    static constexpr UInt32 NextFieldId = Inherited::NextFieldId;

    static FieldContainerType& getClassType() { return _type; }
    static UInt32 getClassTypeId() { return _type.getId(); }
    FieldContainerType& getType() const override { return _type; }

protected:
    Drawable() = default;
    Drawable(const Drawable& source) = default;
    ~Drawable() override = default;

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
