#pragma once

#include <morvekLightingNodePool/LightProc.h>

#include <OpenSG/OSGNode.h>

namespace Morvek {

class PointLight;

// Processor of PointLight: an osg::PointLight core and a sphere proxy.
//
// The light core's position keeps OpenSG's default (the origin); the beacon (the processor's
// own Transform) carries the node's `location`. Below the beacon node:
//
//   proxy node      _proxyTransPtr: scaled by proxyGeometrySize, active with showProxyGeometry
//     _sphereNode     sphere of radius 0.5
class PointLightProc : public LightProc {
public:
    ~PointLightProc() override;

    PointLightProc& operator=(const PointLightProc& other);

    PointLight* getPointLight() const;

protected:
    friend class PointLight;

    PointLightProc(NodeType& type, Node& node);
    // A fresh light core and proxy for the same node; nothing is copied.
    PointLightProc(PointLightProc& other);

    // Builds the sphere with a material of the given transparency (0 opaque to 1 invisible).
    void addProxyGeometry(float transparency);

    // Light core colours and attenuation, then updateOSGFieldValues.
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;
    // The sphere's colour and the beacon's translation.
    void updateOSGFieldValues(const BitVector<unsigned long long>& mask) override;

    osg::NodePtr _sphereNode; // held by the graph, not counted here
};

} // namespace Morvek
