#include <OpenSG/OSGPointLightBase.h>

#include <OpenSG/OSGPointLight.h>

OSG_BEGIN_NAMESPACE

FieldContainerType PointLightBase::_type("PointLight", "Light", &PointLight::createPrototype);

PointLightPtr PointLightBase::create()
{
    return PointLightPtr::dcast(_type.createFieldContainer());
}

OSG_END_NAMESPACE
