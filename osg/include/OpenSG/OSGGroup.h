#pragma once

#include <OpenSG/OSGGroupBase.h>

OSG_BEGIN_NAMESPACE

// A core that only groups its node's children.
class Group : public GroupBase {
public:
    FieldContainerPtr shallowCopy() const override;

protected:
    friend class GroupBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(Group)

private:
    friend class FieldContainerType;
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
