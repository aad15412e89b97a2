#include <OpenSG/OSGMaterialDrawable.h>

OSG_BEGIN_NAMESPACE

void MaterialDrawable::setMaterial(const MaterialPtr& material)
{
    setRefdCP(MaterialDrawableBase::getMaterial(), material);
}

MaterialDrawable::~MaterialDrawable() { clearRefCP(MaterialDrawableBase::getMaterial()); }

OSG_END_NAMESPACE
