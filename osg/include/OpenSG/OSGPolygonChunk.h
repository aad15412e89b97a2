#pragma once

#include <OpenSG/OSGPolygonChunkBase.h>

OSG_BEGIN_NAMESPACE

// Polygon render state. A State has one polygon slot.
class PolygonChunk : public PolygonChunkBase {
public:
    static const StateChunkClass* getStaticClass();
    const StateChunkClass* getClass() const override { return getStaticClass(); }

    FieldContainerPtr shallowCopy() const override;

protected:
    friend class PolygonChunkBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(PolygonChunk)

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
