#include <OpenSG/OSGChunkMaterialBase.h>

#include <OpenSG/OSGChunkMaterial.h>

OSG_BEGIN_NAMESPACE

FieldContainerType ChunkMaterialBase::_type("ChunkMaterial", "Material",
                                            &ChunkMaterial::createPrototype);

ChunkMaterialPtr ChunkMaterialBase::create()
{
    return ChunkMaterialPtr::dcast(_type.createFieldContainer());
}

ChunkMaterialBase::ChunkMaterialBase(const ChunkMaterialBase& source) : Material(source) {}

OSG_END_NAMESPACE
