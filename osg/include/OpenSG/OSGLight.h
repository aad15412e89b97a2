#pragma once

#include <OpenSG/OSGLightBase.h>

OSG_BEGIN_NAMESPACE

// Abstract light core. A light lights only the subtree below the node carrying it; its
// position and direction are given in the beacon node's coordinate system.
class Light : public LightBase {
public:
    enum ShadowMode : UInt32 { CAST_SHADOW_AUTO = 0, CAST_SHADOW_ON = 1, CAST_SHADOW_OFF = 2 };

    using LightBase::setAmbient;
    using LightBase::setDiffuse;
    using LightBase::setSpecular;
    void setAmbient(Real32 r, Real32 g, Real32 b, Real32 a) { setAmbient(Color4f(r, g, b, a)); }
    void setDiffuse(Real32 r, Real32 g, Real32 b, Real32 a) { setDiffuse(Color4f(r, g, b, a)); }
    void setSpecular(Real32 r, Real32 g, Real32 b, Real32 a) { setSpecular(Color4f(r, g, b, a)); }

    // Holds a reference on the beacon node: +1 on the new one, -1 on the old one.
    void setBeacon(const NodePtr& beacon);

protected:
    Light() = default;
    Light(const Light& source) = default;
    // Releases the beacon.
    ~Light() override;
};

OSG_END_NAMESPACE
