#include <OpenSG/OSGDirectionalLightBase.h>

#include <OpenSG/OSGDirectionalLight.h>

OSG_BEGIN_NAMESPACE

FieldContainerType DirectionalLightBase::_type("DirectionalLight", "Light",
                                               &DirectionalLight::createPrototype);

DirectionalLightPtr DirectionalLightBase::create()
{
    return DirectionalLightPtr::dcast(_type.createFieldContainer());
}

OSG_END_NAMESPACE
