// The scene's OpenSG graph: children's nodes below their group, extra cores, the light
// registry and the scope of global lights.

#include "HostTestNodes.h"

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Group.h>
#include <morvekCoreNodePool/GroupProc.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekCoreNodePool/SceneProc.h>

#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGPointLight.h>
#include <OpenSG/OSGPrototypes.h>

#include <osgTestSupport/GraphDump.h>
#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Morvek;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// A directional light core held by the test (one reference), as a light processor holds it.
class LightCore {
public:
    LightCore() : _light(osg::DirectionalLightBase::create()) { osg::addRefCP(_light); }
    ~LightCore() { osg::subRefCP(_light); }
    osg::LightPtr get() const { return _light; }

private:
    osg::DirectionalLightPtr _light;
};

// A scene with one group holding two effector nodes a and b.
class SceneGraph : public ::testing::Test {
protected:
    void SetUp() override
    {
        _containersBefore = osg::getLiveContainerCount();
        scene = Scene::create("scene");
        group = Group::create("g");
        a = HostTestNode::create("a");
        b = HostTestNode::create("b");
        scene->children().addChild(group.get());
        group->children().addChild(a.get());
        group->children().addChild(b.get());
        Runtime::instance().update(0.0);
    }
    void TearDown() override
    {
        scene.reset();
        group.reset();
        a.reset();
        b.reset();
        Runtime::instance().update(0.0);
        EXPECT_EQ(osg::getLiveContainerCount(), _containersBefore) << "OpenSG containers leaked";
    }
    std::string dump() const { return osgTestSupport::dumpGraph(scene->getRootNodePtr()); }
    SceneBaseNodeProc& groupProc() const { return *group->getSceneBaseNodeProc(); }

    RefPtr<Scene> scene;
    RefPtr<Group> group;
    RefPtr<HostTestNode> a;
    RefPtr<HostTestNode> b;

private:
    osg::UInt32 _containersBefore = 0;
};

const char* const plainGraph = "Group\n"
                               "  Group\n"
                               "    <no core>\n"
                               "    <no core>\n";

TEST_F(SceneGraph, ExtraCoreCountsRequestsAndLightsOnlyTheGroupsSubtree)
{
    EXPECT_EQ(dump(), plainGraph) << "children's nodes hang below their group's node";
    EXPECT_EQ(groupProc().getCorePtr()->getTypeName(), std::string("Group"));
    LightCore light;
    const char* const lit =
        "Group\n"
        "  Group\n"
        "    DirectionalLight on diffuse=(1 1 1 1) beacon=none direction=(0 0 1)\n"
        "      <no core>\n"
        "      <no core>\n";
    auto expect = [&](unsigned requests, const char* graph) {
        EXPECT_EQ(groupProc().getMultiCoreRequests(light.get()), requests);
        EXPECT_EQ(dump(), graph);
    };
    groupProc().requestMultiCore(light.get()); // inserts the core above the children
    expect(1, lit);
    groupProc().requestMultiCore(light.get()); // only counts
    expect(2, lit);
    groupProc().releaseMultiCore(light.get());
    expect(1, lit);
    groupProc().releaseMultiCore(light.get()); // removes it
    expect(0, plainGraph);
    EXPECT_EQ(light.get().getRefCount(), 1) << "only the test's reference is left";

    osgTestSupport::LogCapture capture;
    groupProc().releaseMultiCore(light.get());
    EXPECT_THAT(capture.lines(),
                ElementsAre(HasSubstr("Group/g: release of an extra core that was not requested; "
                                      "ignored")));
    EXPECT_EQ(dump(), plainGraph);
}

TEST_F(SceneGraph, ChildAddedWhileLitGoesBelowTheLightAndCoresNest)
{
    LightCore first;
    osg::PointLightPtr point = osg::PointLightBase::create();
    osg::addRefCP(point);
    groupProc().requestMultiCore(first.get());
    groupProc().requestMultiCore(point);
    RefPtr<HostTestNode> c(HostTestNode::create("c"));
    group->children().addChild(c.get());
    // The newer core is outermost.
    EXPECT_EQ(dump(), "Group\n"
                      "  Group\n"
                      "    PointLight on diffuse=(1 1 1 1) beacon=none position=(0 0 0)\n"
                      "      DirectionalLight on diffuse=(1 1 1 1) beacon=none direction=(0 0 1)\n"
                      "        <no core>\n"
                      "        <no core>\n"
                      "        <no core>\n");

    // Releasing the outer core puts the inner one in its place with all children.
    groupProc().releaseMultiCore(first.get());
    EXPECT_EQ(dump(), "Group\n"
                      "  Group\n"
                      "    PointLight on diffuse=(1 1 1 1) beacon=none position=(0 0 0)\n"
                      "      <no core>\n"
                      "      <no core>\n"
                      "      <no core>\n");
    groupProc().releaseMultiCore(point);
    group->children().removeChild(2);
    EXPECT_EQ(dump(), plainGraph);
    osg::subRefCP(point);
}

TEST_F(SceneGraph, GlobalLightSitsAboveTheScenesChildren)
{
    LightCore global;
    LightCore local;
    SceneProc* proc = scene->getSceneProc();
    ASSERT_NE(proc, nullptr);
    EXPECT_TRUE(proc->regGlobalLight(global.get(), a.get(), true));
    EXPECT_TRUE(proc->regGlobalLight(local.get(), b.get(), false));
    EXPECT_EQ(dump(), "Group\n"
                      "  DirectionalLight on diffuse=(1 1 1 1) beacon=none direction=(0 0 1)\n"
                      "    Group\n"
                      "      <no core>\n"
                      "      <no core>\n");
    ASSERT_EQ(proc->getLights().size(), 2u);
    EXPECT_EQ(proc->findLight(global.get())->node, a.get());
    EXPECT_TRUE(proc->findLight(global.get())->global);
    EXPECT_FALSE(proc->findLight(local.get())->global);
    EXPECT_EQ(global.get().getRefCount(), 3); // test, registry, extra-core node

    struct Row {
        const char* name;
        bool reg;
        osg::LightPtr light;
        bool global;
        bool result;
        size_t lightsAfter;
    };
    const Row rows[] = {
        {"registering twice is refused", true, global.get(), true, false, 2},
        {"registering null is refused", true, osg::NullFC, true, false, 2},
        {"unregistering with the other flag is refused", false, global.get(), false, false, 2},
        {"unregistering the local light", false, local.get(), false, true, 1},
        {"unregistering it again is refused", false, local.get(), false, false, 1},
        {"unregistering the global light", false, global.get(), true, true, 0},
    };
    for (const Row& row : rows) {
        const bool result = row.reg ? proc->regGlobalLight(row.light, a.get(), row.global)
                                    : proc->unregGlobalLight(row.light, a.get(), row.global);
        EXPECT_EQ(result, row.result) << row.name;
        EXPECT_EQ(proc->getLights().size(), row.lightsAfter) << row.name;
    }
    EXPECT_EQ(dump(), plainGraph);
    EXPECT_EQ(global.get().getRefCount(), 1);
    EXPECT_EQ(local.get().getRefCount(), 1);

    proc->regGlobalLight(global.get(), a.get(), true);
    scene.reset();
    EXPECT_EQ(global.get().getRefCount(), 1) << "the scene releases registered lights when it goes";
}

TEST_F(SceneGraph, SharedChildMovesToAnotherParentWhenItsOpenSGParentLetsGo)
{
    RefPtr<Group> other(Group::create("h"));
    scene->children().addChild(other.get());
    const osg::NodePtr aNode = a->getSceneBaseNodeProc()->getNodePtr();
    other->children().addChild(a.get()); // the last parent to link it holds its OpenSG node
    EXPECT_EQ(aNode->getParent(), other->getSceneBaseNodeProc()->getNodePtr());
    other->children().clear();
    EXPECT_EQ(aNode->getParent(), groupProc().getNodePtr());
    EXPECT_EQ(dump(), "Group\n"
                      "  Group\n"
                      "    <no core>\n"
                      "    <no core>\n"
                      "  Group\n");
    group->children().removeChild(0);
    EXPECT_EQ(aNode->getParent(), osg::NullFC);
}

TEST_F(SceneGraph, SetCoreByNameAndItsFailures)
{
    SceneBaseNodeProc& proc = *a->getSceneBaseNodeProc();
    proc.setCore("Transform");
    EXPECT_EQ(proc.getCorePtr()->getTypeName(), std::string("Transform"));
    auto expectRefused = [&](const char* typeName, const std::string& message) {
        osgTestSupport::LogCapture capture;
        proc.setCore(typeName);
        EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr("HostTestNode/a: " + message)));
        EXPECT_EQ(proc.getCorePtr()->getTypeName(), std::string("Transform"));
    };
    expectRefused("Teapot", "unknown core type \"Teapot\"; core unchanged");
    expectRefused(nullptr, "unknown core type \"(null)\"; core unchanged");
    {
        osg::ScopedWithheldPrototype withheld("Group");
        expectRefused("Group", "OpenSG could not create a Group core; core unchanged");
    }
    proc.setCore(osg::NodeCorePtr());
    EXPECT_EQ(proc.getCorePtr(), osg::NullFC);
}

} // namespace
