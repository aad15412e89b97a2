#pragma once

#include <OpenSG/OSGStateChunkFields.h>

OSG_BEGIN_NAMESPACE

class PolygonChunk;
typedef FCPtr<StateChunkPtr, PolygonChunk> PolygonChunkPtr;

OSG_END_NAMESPACE
