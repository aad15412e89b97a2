#pragma once

#include <OpenSG/OSGLight.h>
#include <OpenSG/OSGPointLightFields.h>
#include <OpenSG/OSGVector.h>

OSG_BEGIN_NAMESPACE

// Generated part of PointLight.
class PointLightBase : public Light {
    typedef Light Inherited;

public:
    static constexpr UInt32 PositionFieldId = Inherited::NextFieldId;
    static constexpr BitVector PositionFieldMask = maskOf(PositionFieldId);
    static constexpr UInt32 NextFieldId = PositionFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new point light (count 0), or NullFC before osgInit.
    static PointLightPtr create();

    // Position in the beacon frame (sent to GL with w = 1); default the origin.
    Pnt3f& getPosition() { return _position; }
    const Pnt3f& getPosition() const { return _position; }
    void setPosition(const Pnt3f& value) { _position = value; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(PointLightBase)

private:
    static FieldContainerType _type;

    Pnt3f _position;
};

OSG_END_NAMESPACE
