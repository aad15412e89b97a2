#include <OpenSG/OSGGroup.h>

OSG_BEGIN_NAMESPACE

FieldContainerPtr Group::createPrototype() { return FieldContainerPtr(new Group()); }

FieldContainerPtr Group::shallowCopy() const { return FieldContainerPtr(new Group(*this)); }

OSG_END_NAMESPACE
