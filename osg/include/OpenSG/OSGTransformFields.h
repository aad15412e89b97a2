#ifndef OSG_TRANSFORMFIELDS_H
#define OSG_TRANSFORMFIELDS_H

#include <OpenSG/OSGGroupFields.h>
#include <OpenSG/OSGSField.h>

OSG_BEGIN_NAMESPACE

class Transform;
typedef FCPtr<GroupPtr, Transform> TransformPtr;
typedef SField<TransformPtr> SFTransformPtr;

OSG_END_NAMESPACE

#endif
