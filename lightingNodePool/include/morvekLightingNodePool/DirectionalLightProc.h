#pragma once

#include <morvekLightingNodePool/LightProc.h>

#include <OpenSG/OSGNode.h>

namespace Morvek {

class DirectionalLight;

// Processor of DirectionalLight: an osg::DirectionalLight core and an arrow proxy.
//
// The light core's own direction keeps OpenSG's default; the beacon (the processor's own
// Transform) is rotated from (0, 0, -1) onto the node's `direction`, which turns the light and
// the arrow together. Below the beacon node:
//
//   proxy node      _proxyTransPtr: scaled by proxyGeometrySize, active with showProxyGeometry
//     rotation node   rotation of -pi/2 about x: turns the arrow from +y to -z
//       _cylinderNode   shaft, height 0.75, radius 0.15
//       head node       translation (0, 0.5625, 0): the head sits on top of the shaft
//         _coneNode       head, height 0.375, bottom radius 0.3
class DirectionalLightProc : public LightProc {
public:
    ~DirectionalLightProc() override;

    DirectionalLightProc& operator=(const DirectionalLightProc& other);

    DirectionalLight* getDirectionalLight() const;

protected:
    friend class DirectionalLight;

    DirectionalLightProc(NodeType& type, Node& node);
    // A fresh light core and proxy for the same node; nothing is copied.
    DirectionalLightProc(DirectionalLightProc& other);

    // Builds the arrow with materials of the given transparency (0 opaque to 1 invisible).
    void addProxyGeometry(float transparency);

    // Light core colours, then updateOSGFieldValues.
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;
    // The arrow's colour and the beacon's rotation.
    void updateOSGFieldValues(const BitVector<unsigned long long>& mask) override;

    osg::NodePtr _coneNode;     // arrow head; held by the graph, not counted here
    osg::NodePtr _cylinderNode; // arrow shaft; held by the graph, not counted here
};

} // namespace Morvek
