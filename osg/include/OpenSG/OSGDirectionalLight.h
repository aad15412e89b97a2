#pragma once

#include <OpenSG/OSGDirectionalLightBase.h>

OSG_BEGIN_NAMESPACE

// A light at infinity.
class DirectionalLight : public DirectionalLightBase {
public:
    using DirectionalLightBase::setDirection;
    void setDirection(Real32 x, Real32 y, Real32 z) { setDirection(Vec3f(x, y, z)); }

    FieldContainerPtr shallowCopy() const override;

protected:
    friend class DirectionalLightBase;
    OSG_CONTAINER_DEFAULT_LIFETIME(DirectionalLight)

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
