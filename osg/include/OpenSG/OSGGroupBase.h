#pragma once

#include <OpenSG/OSGGroupFields.h>
#include <OpenSG/OSGNodeCore.h>

OSG_BEGIN_NAMESPACE

// Generated part of Group: no fields of its own.
class GroupBase : public NodeCore {
    typedef NodeCore Inherited;

public:
    static constexpr UInt32 NextFieldId = Inherited::NextFieldId;

    static FieldContainerType& getClassType() { return _type; }
    static UInt32 getClassTypeId() { return _type.getId(); }
    FieldContainerType& getType() const override { return _type; }

    // A new group (count 0), or NullFC before osgInit.
    static GroupPtr create();

protected:
    GroupBase() = default;
    GroupBase(const GroupBase& source) = default;
    ~GroupBase() override = default;

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
