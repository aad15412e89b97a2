#pragma once

#include <morvekLightingNodePool/LightProc.h>

#include <OpenSG/OSGNode.h>

namespace Morvek {

class SpotLight;

// Processor of SpotLight: an osg::SpotLight core and a proxy of a cone and a small sphere.
//
// The light core always shines along (0, 0, -1) from the origin of the beacon frame; the beacon
// (the processor's own Transform) turns (0, 0, -1) onto the node's `direction` and moves the
// origin to its `location`. Below the beacon node:
//
//   proxy node        _proxyTransPtr: scaled by proxyGeometrySize, active with showProxyGeometry
//     _coneNode         cone of height 0.8; bottom radius 0.5, then 0.8 * tan(cutOffAngle / 2)
//     offset node       translation (0, 0.3, 0)
//       _sphereNode       sphere of radius 0.2
//
// The proxy is not turned: the cone keeps the +y axis OpenSG's builder gives it.
class SpotLightProc : public LightProc {
public:
    ~SpotLightProc() override;

    SpotLightProc& operator=(const SpotLightProc& other);

    SpotLight* getSpotLight() const;

    // The largest cut-off handed to OpenSG, in radians: the single-precision value of 1.570796
    // (a hair below pi/2).
    static constexpr float maxCutOff = 1.570796f;
    // The spot exponent handed to OpenSG, whatever beamWidth says.
    static constexpr float spotExponent = 4.0f;

protected:
    friend class SpotLight;

    SpotLightProc(NodeType& type, Node& node);
    // A fresh light core and proxy for the same node; nothing is copied.
    SpotLightProc(SpotLightProc& other);

    // Builds cone and sphere with materials of the given transparency (0 opaque to 1 invisible).
    void addProxyGeometry(float transparency);

    // Light core colours, attenuation and spot parameters, then updateOSGFieldValues.
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;
    // The cone's shape, the proxy colours and the beacon's rotation and translation.
    void updateOSGFieldValues(const BitVector<unsigned long long>& mask) override;

    osg::NodePtr _coneNode;   // held by the graph, not counted here
    osg::NodePtr _sphereNode; // held by the graph, not counted here
};

} // namespace Morvek
