#pragma once

#include <OpenSG/OSGChunkMaterialFields.h>

OSG_BEGIN_NAMESPACE

class SimpleMaterial;
typedef FCPtr<ChunkMaterialPtr, SimpleMaterial> SimpleMaterialPtr;

OSG_END_NAMESPACE
