#ifndef OSG_SIMPLEMATERIALFIELDS_H
#define OSG_SIMPLEMATERIALFIELDS_H

#include <OpenSG/OSGChunkMaterialFields.h>

OSG_BEGIN_NAMESPACE

class SimpleMaterial;
typedef FCPtr<ChunkMaterialPtr, SimpleMaterial> SimpleMaterialPtr;

OSG_END_NAMESPACE

#endif
