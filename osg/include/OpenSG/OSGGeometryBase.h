#pragma once

#include <OpenSG/OSGColor.h>
#include <OpenSG/OSGGeometryFields.h>
#include <OpenSG/OSGMFSysTypes.h>
#include <OpenSG/OSGMaterialDrawable.h>
#include <OpenSG/OSGVector.h>

OSG_BEGIN_NAMESPACE

// Generated part of Geometry. The vertex attributes are plain arrays kept in the core; one
// index array addresses all of them at once (an empty index array means vertices in order).
// Primitives: types[i] (a GL primitive enum) uses lengths[i] indices, in order.
class GeometryBase : public MaterialDrawable {
    typedef MaterialDrawable Inherited;

public:
    static constexpr UInt32 TypesFieldId = Inherited::NextFieldId;
    static constexpr BitVector TypesFieldMask = maskOf(TypesFieldId);
    static constexpr UInt32 LengthsFieldId = TypesFieldId + 1;
    static constexpr BitVector LengthsFieldMask = maskOf(LengthsFieldId);
    static constexpr UInt32 PositionsFieldId = LengthsFieldId + 1;
    static constexpr BitVector PositionsFieldMask = maskOf(PositionsFieldId);
    static constexpr UInt32 NormalsFieldId = PositionsFieldId + 1;
    static constexpr BitVector NormalsFieldMask = maskOf(NormalsFieldId);
    static constexpr UInt32 ColorsFieldId = NormalsFieldId + 1;
    static constexpr BitVector ColorsFieldMask = maskOf(ColorsFieldId);
    static constexpr UInt32 TexCoordsFieldId = ColorsFieldId + 1;
    static constexpr BitVector TexCoordsFieldMask = maskOf(TexCoordsFieldId);
    static constexpr UInt32 IndicesFieldId = TexCoordsFieldId + 1;
    static constexpr BitVector IndicesFieldMask = maskOf(IndicesFieldId);
    static constexpr UInt32 NextFieldId = IndicesFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new, empty geometry without material (count 0), or NullFC before osgInit.
    static GeometryPtr create();

    MFUInt8& getTypes() { return _types; }
    const MFUInt8& getTypes() const { return _types; }
    MFUInt32& getLengths() { return _lengths; }
    const MFUInt32& getLengths() const { return _lengths; }
    MField<Pnt3f>& getPositions() { return _positions; }
    const MField<Pnt3f>& getPositions() const { return _positions; }
    MField<Vec3f>& getNormals() { return _normals; }
    const MField<Vec3f>& getNormals() const { return _normals; }
    MField<Color3f>& getColors() { return _colors; }
    const MField<Color3f>& getColors() const { return _colors; }
    MField<Vec2f>& getTexCoords() { return _texCoords; }
    const MField<Vec2f>& getTexCoords() const { return _texCoords; }
    MFUInt32& getIndices() { return _indices; }
    const MFUInt32& getIndices() const { return _indices; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(GeometryBase)

private:
    static FieldContainerType _type;

    MFUInt8 _types;
    MFUInt32 _lengths;
    MField<Pnt3f> _positions;
    MField<Vec3f> _normals;
    MField<Color3f> _colors;
    MField<Vec2f> _texCoords;
    MFUInt32 _indices;
};

OSG_END_NAMESPACE
