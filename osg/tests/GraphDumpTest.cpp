#include "OsgTest.h"

#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGPointLight.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>
#include <OpenSG/OSGSpotLight.h>
#include <OpenSG/OSGTransform.h>

#include <osgTestSupport/GraphDump.h>

#include <cmath>
#include <utility>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::dumpGraph;
using Morvek::osgTestSupport::dumpNumber;

namespace {
using GraphDumpTest = OsgTest;

NodePtr nodeWith(const NodeCorePtr& core)
{
    NodePtr node = Node::create();
    node->setCore(core);
    return node;
}

TEST_F(GraphDumpTest, NumbersAreShortAndFreeOfNoise)
{
    const std::pair<Real32, const char*> rows[] = {
        {0.5625f, "0.5625"},     {-0.0f, "0"}, {-4.371139e-08f, "0"},
        {0.70710677f, "0.7071"}, {-1.f, "-1"}, {1234567.f, "1.235e+06"},
        {2e-6f, "2e-06"},        {NAN, "nan"}, {-INFINITY, "-inf"}};
    for (const auto& [value, expected] : rows)
        EXPECT_EQ(dumpNumber(value), expected) << value;
}

// A light group: a directional light whose beacon is a rotated transform carrying an
// arrow head, a point light whose beacon lives elsewhere, and a hidden spot light.
TEST_F(GraphDumpTest, SmallLightGraph)
{
    NodePtr root = nodeWith(GroupBase::create());
    addRefCP(root);

    DirectionalLightPtr sun = DirectionalLightBase::create();
    NodePtr sunNode = nodeWith(sun);
    TransformPtr beaconCore = TransformBase::create();
    Matrix rotation;
    rotation.setRotate(Quaternion(Vec3f(1, 0, 0), -1.5707963f));
    beaconCore->setMatrix(rotation);
    NodePtr beacon = nodeWith(beaconCore);
    beacon->addChild(makeCone(0.375f, 0.3f, 16, true, true));
    sunNode->addChild(beacon);
    sun->setBeacon(beacon);
    root->addChild(sunNode);

    TransformPtr lift = TransformBase::create();
    lift->editMatrix().setTranslate(0.f, 0.5625f, 0.f);
    NodePtr liftNode = nodeWith(lift);
    GeometryPtr ball = makeSphereGeo(1, 0.2f);
    SimpleMaterialPtr own = SimpleMaterialBase::create();
    ball->setMaterial(own);
    liftNode->addChild(nodeWith(ball));
    liftNode->addChild(nodeWith(GroupBase::create()));
    root->addChild(liftNode);

    NodePtr elsewhere = Node::create();
    addRefCP(elsewhere);
    PointLightPtr lamp = PointLightBase::create();
    lamp->setPosition(1.f, 2.f, 3.f);
    lamp->setOn(false);
    lamp->setBeacon(elsewhere);
    root->addChild(nodeWith(lamp));

    SpotLightPtr spot = SpotLightBase::create();
    spot->setDirection(Vec3f(0, 0, -1));
    spot->setSpotCutOff(0.5235988f);
    spot->setDiffuse(Color4f(0.5f, 0.25f, 1.f, 1.f));
    spot->setBeacon(liftNode);
    NodePtr spotNode = nodeWith(spot);
    spotNode->setActive(false);
    root->addChild(spotNode);
    NodePtr masked = Node::create();
    masked->setTravMask(0x5);
    spotNode->addChild(masked);

    const char* expected =
        "Group\n"
        "  DirectionalLight on diffuse=(1 1 1 1) beacon=@1 direction=(0 0 1)\n"
        "    @1 Transform matrix=[1 0 0 0; 0 0 1 0; 0 -1 0 0]\n"
        "      Geometry vertices=50 material=default\n"
        "  @2 Transform translate=(0 0.5625 0)\n"
        "    Geometry vertices=42 material=m1\n"
        "    Group\n"
        "  PointLight off diffuse=(1 1 1 1) beacon=outside position=(1 2 3)\n"
        "  SpotLight on diffuse=(0.5 0.25 1 1) beacon=@2 position=(0 0 0) direction=(0 0 -1) "
        "cutoff=0.5236 inactive\n"
        "    <no core> travMask=0x5\n";
    EXPECT_EQ(dumpGraph(root), expected);

    subRefCP(root);
    subRefCP(elsewhere);
    EXPECT_EQ(dumpGraph(NullFC), "<null>\n");
}

} // namespace
