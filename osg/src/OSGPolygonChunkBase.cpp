#include <OpenSG/OSGPolygonChunkBase.h>

#include <OpenSG/OSGPolygonChunk.h>

OSG_BEGIN_NAMESPACE

FieldContainerType PolygonChunkBase::_type("PolygonChunk", "StateChunk",
                                           &PolygonChunk::createPrototype);

PolygonChunkPtr PolygonChunkBase::create()
{
    return PolygonChunkPtr::dcast(_type.createFieldContainer());
}

OSG_END_NAMESPACE
