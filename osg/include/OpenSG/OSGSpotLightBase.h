#pragma once

#include <OpenSG/OSGPointLight.h>
#include <OpenSG/OSGSpotLightFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of SpotLight; a spot light is a point light.
class SpotLightBase : public PointLight {
    typedef PointLight Inherited;

public:
    static constexpr UInt32 DirectionFieldId = Inherited::NextFieldId;
    static constexpr BitVector DirectionFieldMask = maskOf(DirectionFieldId);
    static constexpr UInt32 SpotExponentFieldId = DirectionFieldId + 1;
    static constexpr BitVector SpotExponentFieldMask = maskOf(SpotExponentFieldId);
    static constexpr UInt32 SpotCutOffFieldId = SpotExponentFieldId + 1;
    static constexpr BitVector SpotCutOffFieldMask = maskOf(SpotCutOffFieldId);
    static constexpr UInt32 NextFieldId = SpotCutOffFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new spot light (count 0), or NullFC before osgInit.
    static SpotLightPtr create();

    // The direction the light SHINES in the beacon frame; default (0, 0, 1).
    Vec3f& getDirection() { return _direction; }
    const Vec3f& getDirection() const { return _direction; }
    void setDirection(const Vec3f& value) { _direction = value; }
    // Spot exponent; default 0.
    Real32& getSpotExponent() { return _spotExponent; }
    const Real32& getSpotExponent() const { return _spotExponent; }
    void setSpotExponent(const Real32& value) { _spotExponent = value; }
    // Half opening angle in radians; default 0 (a new spot light lights nothing).
    Real32& getSpotCutOff() { return _spotCutOff; }
    const Real32& getSpotCutOff() const { return _spotCutOff; }
    void setSpotCutOff(const Real32& value) { _spotCutOff = value; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(SpotLightBase)

private:
    static FieldContainerType _type;

    Vec3f _direction{0.f, 0.f, 1.f};
    Real32 _spotExponent = 0.f;
    Real32 _spotCutOff = 0.f;
};

OSG_END_NAMESPACE
