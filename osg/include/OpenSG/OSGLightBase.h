#pragma once

#include <OpenSG/OSGColor.h>
#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGLightFields.h>
#include <OpenSG/OSGNodeFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of Light: the fields every light has. Setters only store the value;
// reactions need endEditCP. Abstract: no create().
class LightBase : public Group {
    typedef Group Inherited;

public:
    static constexpr UInt32 AmbientFieldId = Inherited::NextFieldId;
    static constexpr BitVector AmbientFieldMask = maskOf(AmbientFieldId);
    static constexpr UInt32 DiffuseFieldId = AmbientFieldId + 1;
    static constexpr BitVector DiffuseFieldMask = maskOf(DiffuseFieldId);
    static constexpr UInt32 SpecularFieldId = DiffuseFieldId + 1;
    static constexpr BitVector SpecularFieldMask = maskOf(SpecularFieldId);
    static constexpr UInt32 BeaconFieldId = SpecularFieldId + 1;
    static constexpr BitVector BeaconFieldMask = maskOf(BeaconFieldId);
    static constexpr UInt32 OnFieldId = BeaconFieldId + 1;
    static constexpr BitVector OnFieldMask = maskOf(OnFieldId);
    static constexpr UInt32 ConstantAttenuationFieldId = OnFieldId + 1;
    static constexpr BitVector ConstantAttenuationFieldMask = maskOf(ConstantAttenuationFieldId);
    static constexpr UInt32 LinearAttenuationFieldId = ConstantAttenuationFieldId + 1;
    static constexpr BitVector LinearAttenuationFieldMask = maskOf(LinearAttenuationFieldId);
    static constexpr UInt32 QuadraticAttenuationFieldId = LinearAttenuationFieldId + 1;
    static constexpr BitVector QuadraticAttenuationFieldMask = maskOf(QuadraticAttenuationFieldId);
    static constexpr UInt32 ShadowIntensityFieldId = QuadraticAttenuationFieldId + 1;
    static constexpr BitVector ShadowIntensityFieldMask = maskOf(ShadowIntensityFieldId);
    static constexpr UInt32 ShadowModeFieldId = ShadowIntensityFieldId + 1;
    static constexpr BitVector ShadowModeFieldMask = maskOf(ShadowModeFieldId);
    static constexpr UInt32 NextFieldId = ShadowModeFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // Ambient colour, RGBA; default (0, 0, 0, 1).
    Color4f& getAmbient() { return _ambient; }
    const Color4f& getAmbient() const { return _ambient; }
    void setAmbient(const Color4f& value) { _ambient = value; }
    // Diffuse colour, RGBA; default (1, 1, 1, 1).
    Color4f& getDiffuse() { return _diffuse; }
    const Color4f& getDiffuse() const { return _diffuse; }
    void setDiffuse(const Color4f& value) { _diffuse = value; }
    // Specular colour, RGBA; default (1, 1, 1, 1).
    Color4f& getSpecular() { return _specular; }
    const Color4f& getSpecular() const { return _specular; }
    void setSpecular(const Color4f& value) { _specular = value; }
    // The node whose coordinate system positions and directions are given in; default
    // NullFC. This setter stores without counting; Light::setBeacon counts.
    NodePtr& getBeacon() { return _beacon; }
    const NodePtr& getBeacon() const { return _beacon; }
    void setBeacon(const NodePtr& value) { _beacon = value; }
    // Whether the light shines; default true.
    bool& getOn() { return _on; }
    const bool& getOn() const { return _on; }
    void setOn(const bool& value) { _on = value; }
    // Attenuation 1 / (c + l d + q d^2); defaults c = 1, l = 0, q = 0.
    Real32& getConstantAttenuation() { return _constantAttenuation; }
    const Real32& getConstantAttenuation() const { return _constantAttenuation; }
    void setConstantAttenuation(const Real32& value) { _constantAttenuation = value; }
    Real32& getLinearAttenuation() { return _linearAttenuation; }
    const Real32& getLinearAttenuation() const { return _linearAttenuation; }
    void setLinearAttenuation(const Real32& value) { _linearAttenuation = value; }
    Real32& getQuadraticAttenuation() { return _quadraticAttenuation; }
    const Real32& getQuadraticAttenuation() const { return _quadraticAttenuation; }
    void setQuadraticAttenuation(const Real32& value) { _quadraticAttenuation = value; }
    // Shadow darkness 0..1; default 0.
    Real32& getShadowIntensity() { return _shadowIntensity; }
    const Real32& getShadowIntensity() const { return _shadowIntensity; }
    void setShadowIntensity(const Real32& value) { _shadowIntensity = value; }
    // One of Light::CAST_SHADOW_*; default CAST_SHADOW_AUTO (0).
    UInt32& getShadowMode() { return _shadowMode; }
    const UInt32& getShadowMode() const { return _shadowMode; }
    void setShadowMode(const UInt32& value) { _shadowMode = value; }

protected:
    LightBase() = default;
    // Copies every field but the beacon, which a copy does not reference.
    LightBase(const LightBase& source);
    ~LightBase() override = default;

private:
    static FieldContainerType _type;

    Color4f _ambient{0.f, 0.f, 0.f, 1.f};
    Color4f _diffuse{1.f, 1.f, 1.f, 1.f};
    Color4f _specular{1.f, 1.f, 1.f, 1.f};
    NodePtr _beacon;
    bool _on = true;
    Real32 _constantAttenuation = 1.f;
    Real32 _linearAttenuation = 0.f;
    Real32 _quadraticAttenuation = 0.f;
    Real32 _shadowIntensity = 0.f;
    UInt32 _shadowMode = 0;
};

OSG_END_NAMESPACE
