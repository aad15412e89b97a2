#pragma once

#include <OpenSG/OSGPointLightBase.h>

OSG_BEGIN_NAMESPACE

// A light at a point, shining in all directions.
class PointLight : public PointLightBase {
public:
    using PointLightBase::setPosition;
    void setPosition(Real32 x, Real32 y, Real32 z) { setPosition(Pnt3f(x, y, z)); }
    // Constant, linear and quadratic attenuation at once.
    void setAttenuation(Real32 constant, Real32 linear, Real32 quadratic)
    {
        setConstantAttenuation(constant);
        setLinearAttenuation(linear);
        setQuadraticAttenuation(quadratic);
    }

    FieldContainerPtr shallowCopy() const override;

protected:
    friend class PointLightBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(PointLight)

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
