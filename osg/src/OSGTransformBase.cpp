#include <OpenSG/OSGTransformBase.h>

#include <OpenSG/OSGTransform.h>

OSG_BEGIN_NAMESPACE

FieldContainerType TransformBase::_type("Transform", "Group", &Transform::createPrototype);

TransformPtr TransformBase::create() { return TransformPtr::dcast(_type.createFieldContainer()); }

OSG_END_NAMESPACE
