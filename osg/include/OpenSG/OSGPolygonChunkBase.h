#pragma once

#include <OpenSG/OSGGL.h>
#include <OpenSG/OSGMFSysTypes.h>
#include <OpenSG/OSGPolygonChunkFields.h>
#include <OpenSG/OSGStateChunk.h>

OSG_BEGIN_NAMESPACE

// Generated part of PolygonChunk: face culling, winding, fill modes, offsets, stipple.
class PolygonChunkBase : public StateChunk {
    typedef StateChunk Inherited;

public:
    static constexpr UInt32 CullFaceFieldId = Inherited::NextFieldId;
    static constexpr BitVector CullFaceFieldMask = maskOf(CullFaceFieldId);
    static constexpr UInt32 FrontFaceFieldId = CullFaceFieldId + 1;
    static constexpr BitVector FrontFaceFieldMask = maskOf(FrontFaceFieldId);
    static constexpr UInt32 FrontModeFieldId = FrontFaceFieldId + 1;
    static constexpr BitVector FrontModeFieldMask = maskOf(FrontModeFieldId);
    static constexpr UInt32 BackModeFieldId = FrontModeFieldId + 1;
    static constexpr BitVector BackModeFieldMask = maskOf(BackModeFieldId);
    static constexpr UInt32 SmoothFieldId = BackModeFieldId + 1;
    static constexpr BitVector SmoothFieldMask = maskOf(SmoothFieldId);
    static constexpr UInt32 OffsetFactorFieldId = SmoothFieldId + 1;
    static constexpr BitVector OffsetFactorFieldMask = maskOf(OffsetFactorFieldId);
    static constexpr UInt32 OffsetBiasFieldId = OffsetFactorFieldId + 1;
    static constexpr BitVector OffsetBiasFieldMask = maskOf(OffsetBiasFieldId);
    static constexpr UInt32 OffsetPointFieldId = OffsetBiasFieldId + 1;
    static constexpr BitVector OffsetPointFieldMask = maskOf(OffsetPointFieldId);
    static constexpr UInt32 OffsetLineFieldId = OffsetPointFieldId + 1;
    static constexpr BitVector OffsetLineFieldMask = maskOf(OffsetLineFieldId);
    static constexpr UInt32 OffsetFillFieldId = OffsetLineFieldId + 1;
    static constexpr BitVector OffsetFillFieldMask = maskOf(OffsetFillFieldId);
    static constexpr UInt32 StippleFieldId = OffsetFillFieldId + 1;
    static constexpr BitVector StippleFieldMask = maskOf(StippleFieldId);
    static constexpr UInt32 NextFieldId = StippleFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new polygon chunk (count 0), or NullFC before osgInit.
    static PolygonChunkPtr create();

    // Faces culled: GL_NONE (default), GL_FRONT, GL_BACK (1029) or GL_FRONT_AND_BACK.
    GLenum& getCullFace() { return _cullFace; }
    const GLenum& getCullFace() const { return _cullFace; }
    void setCullFace(const GLenum& value) { _cullFace = value; }
    // Winding of front faces; default GL_CCW.
    GLenum& getFrontFace() { return _frontFace; }
    const GLenum& getFrontFace() const { return _frontFace; }
    void setFrontFace(const GLenum& value) { _frontFace = value; }
    // Default GL_FILL.
    GLenum& getFrontMode() { return _frontMode; }
    const GLenum& getFrontMode() const { return _frontMode; }
    void setFrontMode(const GLenum& value) { _frontMode = value; }
    // Default GL_FILL.
    GLenum& getBackMode() { return _backMode; }
    const GLenum& getBackMode() const { return _backMode; }
    void setBackMode(const GLenum& value) { _backMode = value; }
    // Polygon smoothing; default false.
    bool& getSmooth() { return _smooth; }
    const bool& getSmooth() const { return _smooth; }
    void setSmooth(const bool& value) { _smooth = value; }
    // Polygon offset factor and bias; defaults 0.
    Real32& getOffsetFactor() { return _offsetFactor; }
    const Real32& getOffsetFactor() const { return _offsetFactor; }
    void setOffsetFactor(const Real32& value) { _offsetFactor = value; }
    Real32& getOffsetBias() { return _offsetBias; }
    const Real32& getOffsetBias() const { return _offsetBias; }
    void setOffsetBias(const Real32& value) { _offsetBias = value; }
    // Offset enabled for points, lines, fills; defaults false.
    bool& getOffsetPoint() { return _offsetPoint; }
    const bool& getOffsetPoint() const { return _offsetPoint; }
    void setOffsetPoint(const bool& value) { _offsetPoint = value; }
    bool& getOffsetLine() { return _offsetLine; }
    const bool& getOffsetLine() const { return _offsetLine; }
    void setOffsetLine(const bool& value) { _offsetLine = value; }
    bool& getOffsetFill() { return _offsetFill; }
    const bool& getOffsetFill() const { return _offsetFill; }
    void setOffsetFill(const bool& value) { _offsetFill = value; }
    // 32 rows of the stipple pattern; default empty (no stipple).
    MFInt32& getStipple() { return _stipple; }
    const MFInt32& getStipple() const { return _stipple; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(PolygonChunkBase)

private:
    static FieldContainerType _type;

    GLenum _cullFace = GL_NONE;
    GLenum _frontFace = GL_CCW;
    GLenum _frontMode = GL_FILL;
    GLenum _backMode = GL_FILL;
    bool _smooth = false;
    Real32 _offsetFactor = 0.f;
    Real32 _offsetBias = 0.f;
    bool _offsetPoint = false;
    bool _offsetLine = false;
    bool _offsetFill = false;
    MFInt32 _stipple;
};

OSG_END_NAMESPACE
