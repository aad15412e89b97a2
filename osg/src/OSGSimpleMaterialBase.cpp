#include <OpenSG/OSGSimpleMaterialBase.h>

#include <OpenSG/OSGSimpleMaterial.h>

OSG_BEGIN_NAMESPACE

FieldContainerType SimpleMaterialBase::_type("SimpleMaterial", "ChunkMaterial",
                                             &SimpleMaterial::createPrototype);

SimpleMaterialPtr SimpleMaterialBase::create()
{
    return SimpleMaterialPtr::dcast(_type.createFieldContainer());
}

OSG_END_NAMESPACE
