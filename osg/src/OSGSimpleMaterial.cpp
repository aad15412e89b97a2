#include <OpenSG/OSGSimpleMaterial.h>

#include <OpenSG/OSGBaseTypes.h>

OSG_BEGIN_NAMESPACE

FieldContainerPtr SimpleMaterial::createPrototype()
{
    return FieldContainerPtr(new SimpleMaterial());
}

FieldContainerPtr SimpleMaterial::shallowCopy() const
{
    return FieldContainerPtr(new SimpleMaterial(*this));
}

void SimpleMaterial::rebuildState()
{
    ChunkMaterial::rebuildState();
    const Real32 alpha = 1.f - getTransparency();
    auto rgba = [alpha](const Color3f& c) { return Color4f(c.red(), c.green(), c.blue(), alpha); };
    State::MaterialValues values;
    values.ambient = rgba(getAmbient());
    values.diffuse = rgba(getDiffuse());
    values.specular = rgba(getSpecular());
    values.emission = rgba(getEmission());
    values.shininess = getShininess();
    values.lit = getLit();
    values.colorMaterial = getColorMaterial();
    values.blend = getTransparency() > Eps;
    editState().setMaterialValues(values);
}

bool SimpleMaterial::isTransparentByContent() const
{
    return getTransparency() > Eps || ChunkMaterial::isTransparentByContent();
}

OSG_END_NAMESPACE
