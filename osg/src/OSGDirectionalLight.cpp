#include <OpenSG/OSGDirectionalLight.h>

OSG_BEGIN_NAMESPACE

FieldContainerPtr DirectionalLight::createPrototype()
{
    return FieldContainerPtr(new DirectionalLight());
}

FieldContainerPtr DirectionalLight::shallowCopy() const
{
    return FieldContainerPtr(new DirectionalLight(*this));
}

OSG_END_NAMESPACE
