#include <OpenSG/OSGPolygonChunk.h>

OSG_BEGIN_NAMESPACE

const StateChunkClass* PolygonChunk::getStaticClass()
{
    static const StateChunkClass polygonClass("Polygon", 1);
    return &polygonClass;
}

FieldContainerPtr PolygonChunk::createPrototype() { return FieldContainerPtr(new PolygonChunk()); }

FieldContainerPtr PolygonChunk::shallowCopy() const
{
    return FieldContainerPtr(new PolygonChunk(*this));
}

OSG_END_NAMESPACE
