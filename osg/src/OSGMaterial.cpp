#include <OpenSG/OSGMaterial.h>

OSG_BEGIN_NAMESPACE

Material::Material(const Material& source) : MaterialBase(source) {}

bool Material::isTransparent() const
{
    switch (getTransparencyMode()) {
    case TransparencyForceTransparent:
        return true;
    case TransparencyForceOpaque:
        return false;
    default:
        return isTransparentByContent();
    }
}

void Material::changed(BitVector whichField, UInt32 origin)
{
    rebuildState();
    _state.countBuild();
    MaterialBase::changed(whichField, origin);
}

OSG_END_NAMESPACE
