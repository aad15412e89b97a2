#include <OpenSG/OSGGroupBase.h>

#include <OpenSG/OSGGroup.h>

OSG_BEGIN_NAMESPACE

FieldContainerType GroupBase::_type("Group", "NodeCore", &Group::createPrototype);

GroupPtr GroupBase::create() { return GroupPtr::dcast(_type.createFieldContainer()); }

OSG_END_NAMESPACE
