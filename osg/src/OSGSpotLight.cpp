#include <OpenSG/OSGSpotLight.h>

OSG_BEGIN_NAMESPACE

FieldContainerPtr SpotLight::createPrototype() { return FieldContainerPtr(new SpotLight()); }

FieldContainerPtr SpotLight::shallowCopy() const { return FieldContainerPtr(new SpotLight(*this)); }

OSG_END_NAMESPACE
