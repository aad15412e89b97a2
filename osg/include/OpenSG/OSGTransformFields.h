#pragma once

#include <OpenSG/OSGGroupFields.h>
#include <OpenSG/OSGSField.h>

OSG_BEGIN_NAMESPACE

class Transform;
typedef FCPtr<GroupPtr, Transform> TransformPtr;
typedef SField<TransformPtr> SFTransformPtr;

OSG_END_NAMESPACE
