#pragma once

#include <OpenSG/OSGDirectionalLightFields.h>
#include <OpenSG/OSGLight.h>
#include <OpenSG/OSGVector.h>

OSG_BEGIN_NAMESPACE

// Generated part of DirectionalLight.
class DirectionalLightBase : public Light {
    typedef Light Inherited;

public:
    static constexpr UInt32 DirectionFieldId = Inherited::NextFieldId;
    static constexpr BitVector DirectionFieldMask = maskOf(DirectionFieldId);
    static constexpr UInt32 NextFieldId = DirectionFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new directional light (count 0), or NullFC before osgInit.
    static DirectionalLightPtr create();

    // Direction TOWARD the light in the beacon frame (sent to GL with w = 0); default
    // (0, 0, 1), so the light shines along -z.
    Vec3f& getDirection() { return _direction; }
    const Vec3f& getDirection() const { return _direction; }
    void setDirection(const Vec3f& value) { _direction = value; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(DirectionalLightBase)

private:
    static FieldContainerType _type;

    Vec3f _direction{0.f, 0.f, 1.f};
};

OSG_END_NAMESPACE
