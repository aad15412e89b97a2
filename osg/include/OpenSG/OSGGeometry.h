#pragma once

#include <OpenSG/OSGGeometryBase.h>

#include <vector>

OSG_BEGIN_NAMESPACE

// Indexed polygonal geometry.
class Geometry : public GeometryBase {
public:
    // Vertex index (into positions, normals, ...) of the i-th index slot.
    UInt32 getVertexIndex(UInt32 slot) const;
    // Every primitive broken into triangles, three vertex indices each, front faces
    // counter-clockwise (strip triangles of odd position are flipped back). Polygons and
    // fans are split around their first vertex. Primitives that run past the index array
    // are cut short.
    std::vector<UInt32> getTriangleIndices() const;
    UInt32 getNumTriangles() const { return UInt32(getTriangleIndices().size() / 3); }

    // Extends the box by every position.
    void adjustVolume(BoxVolume& volume) override;
    // Positions, types, lengths or indices bits: the boxes of the nodes carrying this core
    // are stale.
    void changed(BitVector whichField, UInt32 origin) override;
    FieldContainerPtr shallowCopy() const override;

protected:
    friend class GeometryBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(Geometry)

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
