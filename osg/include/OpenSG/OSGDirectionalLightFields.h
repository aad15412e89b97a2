#pragma once

#include <OpenSG/OSGLightFields.h>

OSG_BEGIN_NAMESPACE

class DirectionalLight;
typedef FCPtr<LightPtr, DirectionalLight> DirectionalLightPtr;

OSG_END_NAMESPACE
