#include <OpenSG/OSGPointLight.h>

OSG_BEGIN_NAMESPACE

FieldContainerPtr PointLight::createPrototype() { return FieldContainerPtr(new PointLight()); }

FieldContainerPtr PointLight::shallowCopy() const
{
    return FieldContainerPtr(new PointLight(*this));
}

OSG_END_NAMESPACE
