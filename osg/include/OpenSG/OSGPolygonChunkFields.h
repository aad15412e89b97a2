#ifndef OSG_POLYGONCHUNKFIELDS_H
#define OSG_POLYGONCHUNKFIELDS_H

#include <OpenSG/OSGStateChunkFields.h>

OSG_BEGIN_NAMESPACE

class PolygonChunk;
typedef FCPtr<StateChunkPtr, PolygonChunk> PolygonChunkPtr;

OSG_END_NAMESPACE

#endif
