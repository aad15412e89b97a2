#include <OpenSG/OSGSpotLightBase.h>

#include <OpenSG/OSGSpotLight.h>

OSG_BEGIN_NAMESPACE

FieldContainerType SpotLightBase::_type("SpotLight", "PointLight", &SpotLight::createPrototype);

SpotLightPtr SpotLightBase::create() { return SpotLightPtr::dcast(_type.createFieldContainer()); }

OSG_END_NAMESPACE
