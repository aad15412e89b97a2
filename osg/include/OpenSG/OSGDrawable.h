#pragma once

#include <OpenSG/OSGDrawableFields.h>
#include <OpenSG/OSGNodeCore.h>

OSG_BEGIN_NAMESPACE

// Abstract core that draws something. No fields of its own.
class Drawable : public NodeCore {
    typedef NodeCore Inherited;

public:
    static constexpr UInt32 NextFieldId = Inherited::NextFieldId;

    OSG_CONTAINER_TYPE_ACCESS

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(Drawable)

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
