#pragma once

#include <OpenSG/OSGDrawableFields.h>

OSG_BEGIN_NAMESPACE

class MaterialDrawable;
typedef FCPtr<DrawablePtr, MaterialDrawable> MaterialDrawablePtr;

OSG_END_NAMESPACE
