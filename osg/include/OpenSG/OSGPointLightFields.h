#ifndef OSG_POINTLIGHTFIELDS_H
#define OSG_POINTLIGHTFIELDS_H

#include <OpenSG/OSGLightFields.h>

OSG_BEGIN_NAMESPACE

class PointLight;
typedef FCPtr<LightPtr, PointLight> PointLightPtr;

OSG_END_NAMESPACE

#endif
