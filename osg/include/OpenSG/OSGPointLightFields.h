#pragma once

#include <OpenSG/OSGLightFields.h>

OSG_BEGIN_NAMESPACE

class PointLight;
typedef FCPtr<LightPtr, PointLight> PointLightPtr;

OSG_END_NAMESPACE
