#pragma once

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGSpotLightBase.h>

OSG_BEGIN_NAMESPACE

// A point light limited to a cone around its direction.
class SpotLight : public SpotLightBase {
public:
    void setSpotDirection(Real32 x, Real32 y, Real32 z) { setDirection(Vec3f(x, y, z)); }
    // Cut-off in degrees, stored in radians.
    void setSpotCutOffDeg(Real32 deg) { setSpotCutOff(deg2rad(deg)); }
    Real32 getSpotCutOffDeg() const { return rad2deg(getSpotCutOff()); }

    FieldContainerPtr shallowCopy() const override;

protected:
    friend class SpotLightBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(SpotLight)

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
