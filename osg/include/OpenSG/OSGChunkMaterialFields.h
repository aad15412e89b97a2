#pragma once

#include <OpenSG/OSGMaterialFields.h>

OSG_BEGIN_NAMESPACE

class ChunkMaterial;
typedef FCPtr<MaterialPtr, ChunkMaterial> ChunkMaterialPtr;

OSG_END_NAMESPACE
