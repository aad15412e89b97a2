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
    PolygonChunk() = default;
    PolygonChunk(const PolygonChunk& source) = default;
    ~PolygonChunk() override = default;

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
