// Registration of lights with the scene through the real host: global lights on the scene
// root, local lights as extra cores of their parents, mode switches, detach and re-attach.

#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/DirectionalLightProc.h>
#include <morvekLightingNodePool/PointLight.h>
#include <morvekLightingNodePool/PointLightProc.h>
#include <morvekLightingNodePool/SpotLight.h>
#include <morvekLightingNodePool/SpotLightProc.h>

#include <morvekBase/NodeNameSpace.h>
#include <morvekBase/NodeTypeNameSpace.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Group.h>
#include <morvekCoreNodePool/GroupProc.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekCoreNodePool/SceneProc.h>

#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGPrototypes.h>

#include <osgTestSupport/EditJournal.h>
#include <osgTestSupport/LogCapture.h>
#include <osgTestSupport/ScopedEditJournal.h>

#include "LightTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Morvek;

namespace {

// A scene with two groups, groupA and groupB, both in the scene. Notices are captured from
// construction on; the log is at notice level without header.
class LightSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Runtime::instance();
        _containersBefore = osg::getLiveContainerCount();
        _scene.reset(Scene::create("scene"));
        _groupA.reset(Group::create("groupA"));
        _groupB.reset(Group::create("groupB"));
        ASSERT_TRUE(_scene && _groupA && _groupB);
        _scene->children().addChild(_groupA.get());
        _scene->children().addChild(_groupB.get());
        update();
    }
    void TearDown() override
    {
        _groupA.reset();
        _groupB.reset();
        _scene.reset();
        _lights.clear();
        update();
        // Nothing of the lights outlives the scene.
        EXPECT_EQ(osg::getLiveContainerCount(), _containersBefore);
    }

    void update() { Runtime::instance().update(Runtime::instance().getTime() + 1.0); }

    template <class T> T* makeLight(const char* name)
    {
        T* light = T::create(nullptr, name, CreatorProgram);
        _lights.emplace_back(light);
        return light;
    }

    SceneProc& sceneProc() { return *_scene->getSceneProc(); }
    SceneBaseNodeProc& procOf(Group& group) { return *group.getSceneBaseNodeProc(); }
    unsigned requestsOn(Group& group, Light& light)
    {
        return procOf(group).getMultiCoreRequests(light.getLightProc()->getLightPtr());
    }
    // The scene registry's entry for the light: -1 none, 0 registered local, 1 global.
    int registryMode(Light& light)
    {
        const SceneProc::LightEntry* entry =
            sceneProc().findLight(light.getLightProc()->getLightPtr());
        if (!entry)
            return -1;
        EXPECT_EQ(entry->node, &light);
        return entry->global ? 1 : 0;
    }

    LogLevelScope _logLevel{osg::LOG_NOTICE, osg::LOG_NONE_HEADER};
    osgTestSupport::LogCapture _log;
    osg::UInt32 _containersBefore = 0;
    RefPtr<Scene> _scene;
    RefPtr<Group> _groupA;
    RefPtr<Group> _groupB;
    std::vector<RefPtr<Light>> _lights;
};

TEST_F(LightSceneTest, LocalLightScopesEveryParentAndSwitchingGlobalMovesItToTheRoot)
{
    // Two groups share the light before they join the scene: the light attaches with the first
    // group and is scoped to every parent it has at that moment.
    DirectionalLight* light = makeLight<DirectionalLight>("sun");
    _groupA.reset(Group::create("groupC"));
    _groupB.reset(Group::create("groupD"));
    _groupA->children().addChild(light);
    _groupB->children().addChild(light);
    _scene->children().addChild(_groupA.get());
    _scene->children().addChild(_groupB.get());
    update();
    const osg::LightPtr core = light->getLightProc()->getLightPtr();

    EXPECT_EQ(registryMode(*light), 0);
    EXPECT_EQ(requestsOn(*_groupA, *light), 1u);
    EXPECT_EQ(requestsOn(*_groupB, *light), 1u);
    EXPECT_EQ(sceneProc().getMultiCoreRequests(core), 0u);
    EXPECT_EQ(light->getLightProc()->prevGlobal(), 0);
    EXPECT_EQ(_log.lines(), (std::vector<std::string>{
                                "Group/groupC: requesting multi core for light.",
                                "Group/groupD: requesting multi core for light.",
                            }));
    // In the OpenSG graph the core sits right below each group's node, above its children.
    for (Group* group : {_groupA.get(), _groupB.get()}) {
        const osg::NodePtr groupNode = procOf(*group).getNodePtr();
        ASSERT_EQ(groupNode->getNChildren(), 1u);
        EXPECT_EQ(groupNode->getChild(0)->getCore(), core);
    }

    _log.clear();
    light->global().setValue(true);
    update();
    EXPECT_EQ(registryMode(*light), 1);
    EXPECT_EQ(requestsOn(*_groupA, *light), 0u);
    EXPECT_EQ(requestsOn(*_groupB, *light), 0u);
    EXPECT_EQ(sceneProc().getMultiCoreRequests(core), 1u);
    EXPECT_EQ(light->getLightProc()->prevGlobal(), 1);
    EXPECT_EQ(_log.lines(), (std::vector<std::string>{
                                "Group/groupC: releasing multi core for light.",
                                "Group/groupD: releasing multi core for light.",
                            }));

    _log.clear();
    light->global().setValue(false);
    update();
    EXPECT_EQ(registryMode(*light), 0);
    EXPECT_EQ(requestsOn(*_groupA, *light), 1u);
    EXPECT_EQ(sceneProc().getMultiCoreRequests(core), 0u);
    EXPECT_EQ(light->getLightProc()->prevGlobal(), 0);
    EXPECT_EQ(_log.lines().size(), 2u);
}

TEST_F(LightSceneTest, GlobalReportedChangedToTheRegisteredModeTouchesNothing)
{
    osgTestSupport::ScopedEditJournal recording;
    struct Row {
        const char* name;
        bool global;
    };
    for (const Row& row : {Row{"local", false}, Row{"global", true}}) {
        SCOPED_TRACE(row.name);
        SpotLight* light = makeLight<SpotLight>(row.name);
        light->global().setValue(row.global);
        _groupA->children().addChild(light);
        update();
        // Attaching a global light logs nothing, a local one its request on the parent.
        EXPECT_EQ(_log.lines().size(), row.global ? 0u : 1u);
        _log.clear();
        const osg::UInt32 journalSize = osg::UInt32(osgTestSupport::EditJournal::records().size());

        light->global().setValue(row.global);
        update();
        EXPECT_EQ(_log.text(), "");
        EXPECT_EQ(registryMode(*light), row.global ? 1 : 0);
        EXPECT_EQ(requestsOn(*_groupA, *light), row.global ? 0u : 1u);
        // The mode bit alone rewrites nothing in OpenSG either.
        EXPECT_EQ(osgTestSupport::EditJournal::records().size(), journalSize);
    }
}

TEST_F(LightSceneTest, LightMarkedLocalIsNeitherRegisteredNorScopedYetCountsAsRegistered)
{
    DirectionalLight* light = makeLight<DirectionalLight>("multipass");
    light->local().setValue(true);
    _groupA->children().addChild(light);
    update();

    EXPECT_EQ(registryMode(*light), -1);
    EXPECT_EQ(requestsOn(*_groupA, *light), 0u);
    EXPECT_TRUE(light->getLightProc()->isRegistered());
    EXPECT_EQ(_log.text(), "");
}

TEST_F(LightSceneTest, DetachWithdrawsTheRegistrationAndReattachRegistersAgain)
{
    struct Row {
        const char* name;
        bool global;
    };
    for (const Row& row : {Row{"local", false}, Row{"global", true}}) {
        SCOPED_TRACE(row.name);
        PointLight* light = makeLight<PointLight>(row.name);
        light->global().setValue(row.global);
        _groupA->children().addChild(light);
        update();
        _log.clear();

        ASSERT_TRUE(_groupA->children().removeChild(0));
        EXPECT_EQ(registryMode(*light), -1);
        EXPECT_EQ(requestsOn(*_groupA, *light), 0u);
        EXPECT_EQ(sceneProc().getMultiCoreRequests(light->getLightProc()->getLightPtr()), 0u);
        EXPECT_FALSE(light->getLightProc()->isRegistered());
        EXPECT_EQ(_log.lines(), row.global ? std::vector<std::string>{}
                                           : std::vector<std::string>{
                                                 "Group/groupA: releasing multi core for light."});

        _groupB->children().addChild(light);
        update();
        EXPECT_EQ(registryMode(*light), row.global ? 1 : 0);
        EXPECT_EQ(requestsOn(*_groupB, *light), row.global ? 0u : 1u);
        EXPECT_TRUE(light->getLightProc()->isRegistered());
        ASSERT_TRUE(_groupB->children().removeChild(0));
    }
}

TEST_F(LightSceneTest, DetachWithdrawsInTheModeOfTheGlobalFieldNow)
{
    // The change of "global" is still queued when the light leaves: detach withdraws in the
    // mode the field gives now (global), which is not the mode the light was registered in,
    // so the local registration and its extra core on groupA outlive the detach. Callers
    // that switch modes run an update before detaching.
    DirectionalLight* light = makeLight<DirectionalLight>("sun");
    _groupA->children().addChild(light);
    update();
    light->global().setValue(true);
    _log.clear();
    ASSERT_TRUE(_groupA->children().removeChild(0));
    EXPECT_EQ(registryMode(*light), 0);
    EXPECT_EQ(requestsOn(*_groupA, *light), 1u);
    EXPECT_EQ(_log.text(), "");
    EXPECT_FALSE(light->getLightProc()->isRegistered());
}

TEST_F(LightSceneTest, PrototypeParentsAreNotScopedAndUnnamedParentsGoByTheirIdentifier)
{
    RefPtr<Group> prototype(
        static_cast<Group*>(Group::classType().createNode(nullptr, "proto", CreatorProto)));
    ASSERT_TRUE(prototype && prototype->isProto());
    RefPtr<Group> unnamed(Group::create());
    _scene->children().addChild(unnamed.get());
    DirectionalLight* light = makeLight<DirectionalLight>("sun");
    prototype->children().addChild(light);
    unnamed->children().addChild(light);
    update();

    EXPECT_EQ(requestsOn(*unnamed, *light), 1u);
    EXPECT_EQ(requestsOn(*prototype, *light), 0u);
    EXPECT_EQ(_log.lines(), std::vector<std::string>{"Group/" + unnamed->getIDStr() +
                                                     ": requesting multi core for light."});
    ASSERT_TRUE(unnamed->children().removeChild(0));
    EXPECT_EQ(requestsOn(*unnamed, *light), 0u);
}

TEST_F(LightSceneTest, HostShutdownForgetsTheStateWithoutUnregistering)
{
    PointLight* light = makeLight<PointLight>("bulb");
    _groupA->children().addChild(light);
    update();
    ASSERT_EQ(registryMode(*light), 1);

    // As the host does when a node goes: shutdown(time) on the processor.
    NodeProc* proc = light->getLightProc();
    proc->shutdown(Runtime::instance().getTime());
    EXPECT_EQ(light->getLightProc()->prevGlobal(), -1);
    EXPECT_EQ(registryMode(*light), 1);
}

// ---------------------------------------------------------------------------------------------
// The fields every light shares: on, shadowIntensity, proxy visibility and size.

TEST_F(LightSceneTest, OnShadowAndProxyFieldsReachTheCoreAndTheProxy)
{
    SpotLight* light = makeLight<SpotLight>("spot");
    _groupA->children().addChild(light);
    update();
    LightProc& proc = *light->getLightProc();
    const osg::TransformPtr proxy = proc.getProxyTransPtr();
    ASSERT_NE(proxy, osg::NullFC);
    ASSERT_EQ(proxy->getParents().size(), 1u);
    const osg::NodePtr proxyNode = proxy->getParents()[0];
    // showProxyGeometry starts FALSE: hidden from the first update on, but in the graph.
    EXPECT_FALSE(proxyNode->getActive());
    EXPECT_EQ(proxyNode->getParent()->getCore(), proc.getCorePtr());

    light->showProxyGeometry().setValue(true);
    light->proxyGeometrySize().setValue(osg::Vec3f(2.0f, 3.0f, 4.0f));
    light->on().setValue(false);
    light->shadowIntensity().setValue(0.75f);
    update();
    EXPECT_TRUE(proxyNode->getActive());
    EXPECT_FALSE(proc.getLightPtr()->getOn());
    EXPECT_EQ(proc.getLightPtr()->getShadowIntensity(), 0.75f);
    const osg::Matrix expected(2, 0, 0, 0, //
                               0, 3, 0, 0, //
                               0, 0, 4, 0, //
                               0, 0, 0, 1);
    EXPECT_EQ(proxy->getMatrix(), expected);

    light->showProxyGeometry().setValue(false);
    update();
    EXPECT_FALSE(proxyNode->getActive());
    EXPECT_EQ(proxyNode->getParent()->getCore(), proc.getCorePtr());
}

// ---------------------------------------------------------------------------------------------
// A light node without "global" field, as another pool's light type might be: the processor
// treats it as global and says so once at initialize.

class GloballessSpot : public SpotLight {
public:
    GloballessSpot(NodeNameSpace& names, const char* name) : SpotLight(names, name)
    {
        unregField(globalIndex);
    }
};

class GloballessSpotProc : public SpotLightProc {
public:
    GloballessSpotProc(NodeType& type, Node& node) : SpotLightProc(type, node) {}
};

Node* createGloballessSpot(NodeType&, NodeNameSpace& names, const char* name)
{
    return new GloballessSpot(names, name);
}

NodeProc* createGloballessSpotProc(NodeType& type, Node& node)
{
    return new GloballessSpotProc(type, node);
}

TEST_F(LightSceneTest, LightWithoutGlobalFieldLogsAtInitializeAndRegistersGlobal)
{
    NodeTypeNameSpace testTypes("testTypes");
    NodeType type(testTypes, "GloballessSpot", "Test", "SpotLight", nullptr, nullptr, "Lighting",
                  nullptr, "test", "a spot light without global field", "Test", false, false,
                  nullptr, &createGloballessSpot, &createGloballessSpotProc, nullptr, 0);
    LogLevelScope fatalOnly(osg::LOG_FATAL, osg::LOG_NONE_HEADER);
    _log.clear();

    RefPtr<Light> light(static_cast<Light*>(type.createNode(nullptr, "odd", CreatorProgram)));
    ASSERT_TRUE(light);
    EXPECT_EQ(_log.lines(),
              std::vector<std::string>{"SpotLight/odd: no >global< field in initialize()"});

    _groupA->children().addChild(light.get());
    update();
    EXPECT_EQ(registryMode(*light), 1);
    EXPECT_EQ(_log.lines().size(), 1u);
    ASSERT_TRUE(_groupA->children().removeChild(0));
}

// ---------------------------------------------------------------------------------------------
// OpenSG objects that cannot be made: the processors carry on without them.

// Each test ends with the containers it began with: nothing is left of the lights either way.
TEST_F(LightSceneTest, WithoutLightCoreNothingIsRegisteredAndNothingBreaks)
{
    osg::ScopedWithheldPrototype noSpot("SpotLight");
    SpotLight* light = makeLight<SpotLight>("dark");
    EXPECT_EQ(light->getLightProc()->getLightPtr(), osg::NullFC);
    light->global().setValue(false);
    _groupA->children().addChild(light);
    update();
    light->color().setValue(osg::Color3f(1.0f, 0.0f, 0.0f));
    light->showProxyGeometry().setValue(true);
    update();
    EXPECT_EQ(sceneProc().getLights().size(), 0u);
    EXPECT_TRUE(procOf(*_groupA).getMultiCores().empty());
    EXPECT_EQ(_log.text(), ""); // no core: no notice, no fatal line
}

TEST_F(LightSceneTest, WithoutProxyTransformEveryUpdateSaysSoAndOnStillReachesTheCore)
{
    LogLevelScope fatalOnly(osg::LOG_FATAL, osg::LOG_NONE_HEADER);
    osg::ScopedWithheldPrototype noTransform("Transform");
    PointLight* light = makeLight<PointLight>("bare");
    EXPECT_EQ(light->getLightProc()->getProxyTransPtr(), osg::NullFC);
    _groupA->children().addChild(light);
    update();
    light->on().setValue(false);
    update();
    light->radius().setValue(5.0f); // any field
    update();
    EXPECT_FALSE(light->getLightProc()->getLightPtr()->getOn());
    EXPECT_EQ(_log.lines(), std::vector<std::string>(
                                3, "PointLight/bare _proxyTransPtr isNull in nodeChanged()"));
}

} // namespace
