#include <OpenSG/OSGGeometry.h>

#include <OpenSG/OSGGL.h>

OSG_BEGIN_NAMESPACE

FieldContainerPtr Geometry::createPrototype() { return FieldContainerPtr(new Geometry()); }

FieldContainerPtr Geometry::shallowCopy() const { return FieldContainerPtr(new Geometry(*this)); }

UInt32 Geometry::getVertexIndex(UInt32 slot) const
{
    return getIndices().empty() ? slot : getIndices()[slot];
}

std::vector<UInt32> Geometry::getTriangleIndices() const
{
    std::vector<UInt32> result;
    const UInt32 available = getIndices().empty() ? getPositions().size() : getIndices().size();
    UInt32 start = 0;
    const UInt32 primitives =
        getTypes().size() < getLengths().size() ? getTypes().size() : getLengths().size();
    for (UInt32 p = 0; p < primitives && start < available; ++p) {
        UInt32 length = getLengths()[p];
        if (length > available - start)
            length = available - start;
        auto v = [&](UInt32 i) { return getVertexIndex(start + i); };
        switch (getTypes()[p]) {
        case GL_TRIANGLES:
            for (UInt32 i = 0; i + 2 < length; i += 3)
                result.insert(result.end(), {v(i), v(i + 1), v(i + 2)});
            break;
        case GL_TRIANGLE_STRIP:
            for (UInt32 i = 0; i + 2 < length; ++i) {
                // Every second strip triangle has the opposite winding; flip it back.
                if (i % 2 == 0)
                    result.insert(result.end(), {v(i), v(i + 1), v(i + 2)});
                else
                    result.insert(result.end(), {v(i + 1), v(i), v(i + 2)});
            }
            break;
        case GL_TRIANGLE_FAN:
        case GL_POLYGON:
            for (UInt32 i = 1; i + 1 < length; ++i)
                result.insert(result.end(), {v(0), v(i), v(i + 1)});
            break;
        case GL_QUADS:
            for (UInt32 i = 0; i + 3 < length; i += 4)
                result.insert(result.end(), {v(i), v(i + 1), v(i + 2), v(i), v(i + 2), v(i + 3)});
            break;
        default:
            break;
        }
        start += length;
    }
    return result;
}

void Geometry::adjustVolume(BoxVolume& volume)
{
    // Read through the const view: reading shared vertices must not copy them.
    const MField<Pnt3f>& positions = getPositions();
    for (const Pnt3f& p : positions)
        volume.extendBy(p);
}

void Geometry::changed(BitVector whichField, UInt32 origin)
{
    if (whichField & (PositionsFieldMask | TypesFieldMask | LengthsFieldMask | IndicesFieldMask))
        invalidateParentVolumes();
    GeometryBase::changed(whichField, origin);
}

OSG_END_NAMESPACE
