#include <OpenSG/OSGLightBase.h>

OSG_BEGIN_NAMESPACE

FieldContainerType LightBase::_type("Light", "Group", nullptr);

LightBase::LightBase(const LightBase& source)
    : Group(source), _ambient(source._ambient), _diffuse(source._diffuse),
      _specular(source._specular), _on(source._on),
      _constantAttenuation(source._constantAttenuation),
      _linearAttenuation(source._linearAttenuation),
      _quadraticAttenuation(source._quadraticAttenuation),
      _shadowIntensity(source._shadowIntensity), _shadowMode(source._shadowMode)
{
}

OSG_END_NAMESPACE
