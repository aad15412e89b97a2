#ifndef OSG_CHUNKMATERIALFIELDS_H
#define OSG_CHUNKMATERIALFIELDS_H

#include <OpenSG/OSGMaterialFields.h>

OSG_BEGIN_NAMESPACE

class ChunkMaterial;
typedef FCPtr<MaterialPtr, ChunkMaterial> ChunkMaterialPtr;

OSG_END_NAMESPACE

#endif
