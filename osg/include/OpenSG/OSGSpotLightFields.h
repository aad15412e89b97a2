#pragma once

#include <OpenSG/OSGPointLightFields.h>

OSG_BEGIN_NAMESPACE

class SpotLight;
typedef FCPtr<PointLightPtr, SpotLight> SpotLightPtr;

OSG_END_NAMESPACE
