#pragma once

#include <OpenSG/OSGMaterialDrawableFields.h>

OSG_BEGIN_NAMESPACE

class Geometry;
typedef FCPtr<MaterialDrawablePtr, Geometry> GeometryPtr;

OSG_END_NAMESPACE
