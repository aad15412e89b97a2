#ifndef OSG_DIRECTIONALLIGHTFIELDS_H
#define OSG_DIRECTIONALLIGHTFIELDS_H

#include <OpenSG/OSGLightFields.h>

OSG_BEGIN_NAMESPACE

class DirectionalLight;
typedef FCPtr<LightPtr, DirectionalLight> DirectionalLightPtr;

OSG_END_NAMESPACE

#endif
