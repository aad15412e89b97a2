#include "OsgTest.h"

#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGPointLight.h>
#include <OpenSG/OSGSimpleGeometry.h>

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

// What the dump's users (the scene and light tests) leave unpinned: beacons outside the dump,
// the default material, partial traversal masks, a null root.
TEST_F(GraphDumpTest, OutsideBeaconDefaultMaterialAndMasks)
{
    NodePtr root = nodeWith(GroupBase::create());
    NodePtr elsewhere = Node::create();
    addRefCP(root);
    addRefCP(elsewhere);
    PointLightPtr lamp = PointLightBase::create();
    lamp->setBeacon(elsewhere);
    NodePtr lampNode = nodeWith(lamp);
    lampNode->addChild(makeCone(0.375f, 0.3f, 16, true, true));
    root->addChild(lampNode);
    NodePtr masked = Node::create();
    masked->setTravMask(0x5);
    root->addChild(masked);
    EXPECT_EQ(dumpGraph(root), "Group\n"
                               "  PointLight on diffuse=(1 1 1 1) beacon=outside position=(0 0 0)\n"
                               "    Geometry vertices=50 material=default\n"
                               "  <no core> travMask=0x5\n");
    subRefCP(root);
    subRefCP(elsewhere);
    EXPECT_EQ(dumpGraph(NullFC), "<null>\n");
}
} // namespace
