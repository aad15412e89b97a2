#pragma once

#include <OpenSG/OSGChunkMaterial.h>
#include <OpenSG/OSGColor.h>
#include <OpenSG/OSGGL.h>
#include <OpenSG/OSGSimpleMaterialFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of SimpleMaterial: the classic lighting colours.
class SimpleMaterialBase : public ChunkMaterial {
    typedef ChunkMaterial Inherited;

public:
    static constexpr UInt32 AmbientFieldId = Inherited::NextFieldId;
    static constexpr BitVector AmbientFieldMask = maskOf(AmbientFieldId);
    static constexpr UInt32 DiffuseFieldId = AmbientFieldId + 1;
    static constexpr BitVector DiffuseFieldMask = maskOf(DiffuseFieldId);
    static constexpr UInt32 SpecularFieldId = DiffuseFieldId + 1;
    static constexpr BitVector SpecularFieldMask = maskOf(SpecularFieldId);
    static constexpr UInt32 ShininessFieldId = SpecularFieldId + 1;
    static constexpr BitVector ShininessFieldMask = maskOf(ShininessFieldId);
    static constexpr UInt32 EmissionFieldId = ShininessFieldId + 1;
    static constexpr BitVector EmissionFieldMask = maskOf(EmissionFieldId);
    static constexpr UInt32 TransparencyFieldId = EmissionFieldId + 1;
    static constexpr BitVector TransparencyFieldMask = maskOf(TransparencyFieldId);
    static constexpr UInt32 LitFieldId = TransparencyFieldId + 1;
    static constexpr BitVector LitFieldMask = maskOf(LitFieldId);
    static constexpr UInt32 ColorMaterialFieldId = LitFieldId + 1;
    static constexpr BitVector ColorMaterialFieldMask = maskOf(ColorMaterialFieldId);
    static constexpr UInt32 NextFieldId = ColorMaterialFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new simple material (count 0), or NullFC before osgInit.
    static SimpleMaterialPtr create();

    // Default (0, 0, 0).
    Color3f& getAmbient() { return _ambient; }
    const Color3f& getAmbient() const { return _ambient; }
    void setAmbient(const Color3f& value) { _ambient = value; }
    // Default (0, 0, 0).
    Color3f& getDiffuse() { return _diffuse; }
    const Color3f& getDiffuse() const { return _diffuse; }
    void setDiffuse(const Color3f& value) { _diffuse = value; }
    // Default (0, 0, 0).
    Color3f& getSpecular() { return _specular; }
    const Color3f& getSpecular() const { return _specular; }
    void setSpecular(const Color3f& value) { _specular = value; }
    // Specular exponent; default 1.
    Real32& getShininess() { return _shininess; }
    const Real32& getShininess() const { return _shininess; }
    void setShininess(const Real32& value) { _shininess = value; }
    // Default (0, 0, 0).
    Color3f& getEmission() { return _emission; }
    const Color3f& getEmission() const { return _emission; }
    void setEmission(const Color3f& value) { _emission = value; }
    // 0 opaque .. 1 invisible; default 0.
    Real32& getTransparency() { return _transparency; }
    const Real32& getTransparency() const { return _transparency; }
    void setTransparency(const Real32& value) { _transparency = value; }
    // Lit by lights (else drawn in the diffuse colour); default true.
    bool& getLit() { return _lit; }
    const bool& getLit() const { return _lit; }
    void setLit(const bool& value) { _lit = value; }
    // Colour tracked from vertex colours; default GL_DIFFUSE (0x1201).
    GLenum& getColorMaterial() { return _colorMaterial; }
    const GLenum& getColorMaterial() const { return _colorMaterial; }
    void setColorMaterial(const GLenum& value) { _colorMaterial = value; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(SimpleMaterialBase)

private:
    static FieldContainerType _type;

    Color3f _ambient;
    Color3f _diffuse;
    Color3f _specular;
    Real32 _shininess = 1.f;
    Color3f _emission;
    Real32 _transparency = 0.f;
    bool _lit = true;
    GLenum _colorMaterial = GL_DIFFUSE;
};

OSG_END_NAMESPACE
