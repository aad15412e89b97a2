// Builds a small OpenSG scene with a light and prints it.
//
// The graph: a root group carrying a directional light. The light's beacon is a transform
// node that turns the light to shine along -y (a -90 degree turn about x applied to its
// default -z), and an arrow head made by makeCone hangs below the beacon so that the
// light's direction can be seen. A sphere under the light node is what gets lit.

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGTransform.h>

#include <osgTestSupport/GraphDump.h>

#include <cstdio>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::dumpGraph;

namespace {
NodePtr nodeWith(const NodeCorePtr& core)
{
    NodePtr node = Node::create();
    node->setCore(core);
    endEditCP(node, Node::CoreFieldMask);
    return node;
}
} // namespace

int main(int argc, char** argv)
{
    osgInit(argc, argv);

    NodePtr root = nodeWith(GroupBase::create());
    addRefCP(root);

    DirectionalLightPtr light = DirectionalLightBase::create();
    light->setDiffuse(Color4f(1.f, 0.9f, 0.8f, 1.f));
    endEditCP(light);
    NodePtr lightNode = nodeWith(light);

    // A turn of -90 degrees about x carries the light's -z onto -y: it shines downward.
    TransformPtr beaconCore = TransformBase::create();
    beaconCore->editMatrix().setRotate(Quaternion(Vec3f(1.f, 0.f, 0.f), -Pi / 2.f));
    endEditCP(beaconCore, TransformBase::MatrixFieldMask);
    NodePtr beacon = nodeWith(beaconCore);
    beacon->addChild(makeCone(0.375f, 0.3f, 16, true, true));
    endEditCP(beacon, Node::ChildrenFieldMask);

    light->setBeacon(beacon);
    endEditCP(light, LightBase::BeaconFieldMask);

    lightNode->addChild(beacon);
    lightNode->addChild(makeSphere(2, 1.f));
    endEditCP(lightNode, Node::ChildrenFieldMask);
    root->addChild(lightNode);
    endEditCP(root, Node::ChildrenFieldMask);

    std::fputs(dumpGraph(root).c_str(), stdout);

    subRefCP(root);
    osgExit();
    return 0;
}
