#pragma once

#include <OpenSG/OSGGroupFields.h>
#include <OpenSG/OSGNodeCore.h>

OSG_BEGIN_NAMESPACE

// Generated part of Group: no fields of its own.
class GroupBase : public NodeCore {
    typedef NodeCore Inherited;

public:
    static constexpr UInt32 NextFieldId = Inherited::NextFieldId;

    OSG_CONTAINER_TYPE_ACCESS

    // A new group (count 0), or NullFC before osgInit.
    static GroupPtr create();

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(GroupBase)

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
