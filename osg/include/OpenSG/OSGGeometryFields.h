#ifndef OSG_GEOMETRYFIELDS_H
#define OSG_GEOMETRYFIELDS_H

#include <OpenSG/OSGMaterialDrawableFields.h>

OSG_BEGIN_NAMESPACE

class Geometry;
typedef FCPtr<MaterialDrawablePtr, Geometry> GeometryPtr;

OSG_END_NAMESPACE

#endif
