// Type records and their registry; creating nodes by type name; loading node pools by name
// (search folders, both kinds of entry point, and the errors).

#include "HostTestNodes.h"

#include <morvekBase/Node.h>
#include <morvekBase/NodeNameSpace.h>
#include <morvekBase/NodePoolLoader.h>
#include <morvekBase/NodeTypeNameSpace.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/Group.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>
#include <unistd.h>
#include <utility>

using namespace Morvek;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Types register in order, a duplicate name replaces the older type, and a type leaves the
// registry only while it is the one registered under its name.
TEST(NodeTypeNameSpace, RegistersInOrderAndDuplicatesReplace)
{
    NodeTypeNameSpace ns("test");
    auto first = makeTestType(ns, "Light", "Old");
    auto other = makeTestType(ns, "Other", "Old");
    EXPECT_THAT(ns.getTypes(), ElementsAre(first.get(), other.get()));
    other.reset();
    EXPECT_THAT(ns.getTypes(), ElementsAre(first.get()));

    osgTestSupport::LogCapture capture;
    auto second = makeTestType(ns, "Light", "New");
    EXPECT_THAT(capture.text(), HasSubstr("Type Light (pool New) replaces the type of that name "
                                          "from pool Old in test"));
    EXPECT_EQ(ns.find("Light"), second.get());
    EXPECT_EQ(NodeTypeNameSpace::findType(ns, "LIGHT", SearchCaseSensitive), nullptr);
    EXPECT_EQ(NodeTypeNameSpace::findType(ns, nullptr, SearchCaseSensitive), nullptr);
    first.reset();
    EXPECT_EQ(ns.find("Light"), second.get());
    second.reset();
    EXPECT_EQ(ns.size(), 0u);
}

TEST(NodeType, DerivationFollowsParentNamesInItsNameSpace)
{
    NodeTypeNameSpace ns("test");
    auto base = makeTestType(ns, "Base", "P");
    auto middle = makeTestType(ns, "Middle", "P", "Base");
    auto leaf = makeTestType(ns, "Leaf", "P", "Middle");
    auto orphan = makeTestType(ns, "Orphan", "P", "Missing");
    auto loopA = makeTestType(ns, "LoopA", "P", "LoopB");
    auto loopB = makeTestType(ns, "LoopB", "P", "LoopA");
    const std::tuple<const char*, NodeType*, const char*, bool> rows[] = {
        {"itself", leaf.get(), "Leaf", true},
        {"parent", leaf.get(), "Middle", true},
        {"grandparent", leaf.get(), "Base", true},
        {"child is not an ancestor", base.get(), "Leaf", false},
        {"unregistered parent ends the chain", orphan.get(), "Missing", false},
        {"cycle of parent names terminates", loopA.get(), "Nowhere", false},
        {"null", leaf.get(), nullptr, false},
    };
    for (const auto& [name, type, ancestor, expected] : rows)
        EXPECT_EQ(type->isDerivedFrom(ancestor), expected) << name;
    EXPECT_EQ(leaf->getParentType(), middle.get());
}

TEST(NodeType, RecordCopiesItsTextsAndFindsRowsByIndex)
{
    NodeTypeNameSpace ns("test");
    std::string name = "Probe";
    NodePartDesc rows[] = {testRow(3, DataSFFloat, "level", "0.5")};
    const auto type = makeTestType(ns, name.c_str(), "Pool", "Base", rows, 1);
    name = "changed";
    EXPECT_STREQ(type->getName(), "Probe");
    EXPECT_EQ(type->findDesc(3), &rows[0]);
    EXPECT_EQ(type->findDesc(4), nullptr);
}

TEST(NodeType, CreateNodeByNameGivesNodeWithTypeContextAndProcessor)
{
    NodeNameSpace nameSpace;
    RefPtr<Node> group(
        theSceneNodeTypeFactory().createNode("Group", &nameSpace, "g1", CreatorParser));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->_type, &Group::classType());
    EXPECT_EQ(group->_creator, CreatorParser);
    EXPECT_EQ(nameSpace.find("g1"), group.get());
    EXPECT_NE(group->_proc, nullptr);
    EXPECT_FALSE(group->isProto());
    EXPECT_FALSE(Scene::classType().isType(group.get()));

    RefPtr<Node> proto(Group::classType().createNode(nullptr, nullptr, CreatorProto));
    ASSERT_TRUE(proto);
    EXPECT_TRUE(proto->isProto());
    EXPECT_TRUE(proto->_name.empty());
    group.reset();
    EXPECT_EQ(nameSpace.find("g1"), nullptr);
}

TEST(NodeType, CreateNodeRefusesAbstractAndUnknownTypesWithAMessage)
{
    const std::pair<const char*, const char*> rows[] = {
        {"VisualEffector",
         "Type VisualEffector has no node factory (abstract type); no node created"},
        {"NoSuchType", "Unknown node type NoSuchType in SceneNodeTypes; no node created"},
    };
    for (const auto& [type, message] : rows) {
        osgTestSupport::LogCapture capture;
        EXPECT_EQ(theSceneNodeTypeFactory().createNode(type, nullptr, nullptr), nullptr) << type;
        EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr(message))) << type;
    }
}

TEST(Node, CollectNonProtoParentsSkipsPrototypesAndDuplicates)
{
    RefPtr<HostTestNode> child(HostTestNode::create("child"));
    RefPtr<Group> a(Group::create("a"));
    RefPtr<Group> b(Group::create("b"));
    RefPtr<Node> proto(Group::classType().createNode(nullptr, "proto", CreatorProto));
    a->children().addChild(child.get());
    static_cast<Group*>(proto.get())->children().addChild(child.get());
    b->children().addChild(child.get());
    a->children().addChild(child.get()); // a second link from the same parent

    std::vector<Node*> out{nullptr}; // existing entries stay
    EXPECT_EQ(Node::collectNonProtoParents(child.get(), out), 2u);
    EXPECT_THAT(out, ElementsAre(nullptr, a.get(), b.get()));
    EXPECT_EQ(child->getParents().size(), 4u);
    EXPECT_EQ(Node::collectNonProtoParents(nullptr, out), 0u);
}

// Folder of the test pool that is not next to the host libraries (set by the build).
const std::string pluginFolder = HOST_TEST_PLUGIN_DIR;

int entryCalls(NodePoolLoader& loader, const std::string& pool)
{
    auto calls = reinterpret_cast<int (*)()>(loader.findSymbol(pool, "hostTestEntryCalls"));
    return calls ? calls() : -1;
}

NodeType* probeType()
{
    return NodeTypeNameSpace::findType(theSceneNodeTypeFactory(), "PluginProbe",
                                       SearchCaseSensitive);
}

// The file and entry point names follow the pool's name (libmorvek<name>.so, init<name>).
TEST(NodePoolLoader, ErrorsComeBackAsTextAndLeaveNothingLoaded)
{
    char pattern[] = "/tmp/morvekPoolsXXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    std::ofstream(folder + "/libmorvekBroken.so") << "this is not a shared library";
    const std::string host = NodePoolLoader::hostLibraryFolder();

    // Pool, search folder, and the error: exact, or a prefix when it ends with "...".
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"Missing", "", "Node pool Missing: libmorvekMissing.so not found in " + host},
        {"Missing", folder,
         "Node pool Missing: libmorvekMissing.so not found in " + folder + ", " + host},
        {"HostTestCEntryNodePool", "",
         "Node pool HostTestCEntryNodePool: libmorvekHostTestCEntryNodePool.so not found in " +
             host},
        {"HostTestNoEntryNodePool", "",
         "Node pool HostTestNoEntryNodePool: " + host +
             "/libmorvekHostTestNoEntryNodePool.so has no entry point "
             "initHostTestNoEntryNodePool"},
        {"Broken", folder, "Node pool Broken: cannot load " + folder + "/libmorvekBroken.so: ..."},
        {"../Pool", "", "Node pool name \"../Pool\" is not valid (empty or with '/')"},
        {"", "", "Node pool name \"\" is not valid (empty or with '/')"},
    };
    for (const auto& [pool, searchFolder, expected] : rows) {
        NodePoolLoader loader;
        loader.setSearchFolder(searchFolder);
        std::string error;
        EXPECT_FALSE(loader.load(pool, error)) << pool;
        const bool prefix = expected.size() > 3 && expected.substr(expected.size() - 3) == "...";
        const std::size_t length = prefix ? expected.size() - 3 : std::string::npos;
        EXPECT_EQ(error.substr(0, length), expected.substr(0, length)) << error;
        EXPECT_FALSE(loader.isLoaded(pool)) << pool;
    }

    NodePoolLoader loader;
    std::string error;
    EXPECT_FALSE(loader.unload("Missing", error));
    EXPECT_EQ(error, "Node pool Missing is not loaded");
    std::filesystem::remove_all(folder);
}

TEST(NodePoolLoader, CEntryPoolRegistersItsTypesWhileLoaded)
{
    for (int cycle = 0; cycle < 20; ++cycle) {
        NodePoolLoader loader;
        loader.setSearchFolder(pluginFolder);
        std::string error;
        ASSERT_TRUE(loader.load("HostTestCEntryNodePool", error)) << error;
        EXPECT_EQ(error, "");
        EXPECT_EQ(loader.getLibraryPath("HostTestCEntryNodePool"),
                  pluginFolder + "/libmorvekHostTestCEntryNodePool.so");
        EXPECT_EQ(entryCalls(loader, "HostTestCEntryNodePool"), 1);
        ASSERT_NE(probeType(), nullptr);
        EXPECT_STREQ(probeType()->getPool(), "HostTestCEntry");

        // Loading again runs the entry point again without opening the library twice.
        ASSERT_TRUE(loader.load("HostTestCEntryNodePool", error)) << error;
        EXPECT_EQ(entryCalls(loader, "HostTestCEntryNodePool"), 2);

        const unsigned generation = typeCastGeneration;
        ASSERT_TRUE(loader.unload("HostTestCEntryNodePool", error)) << error;
        EXPECT_NE(typeCastGeneration, generation) << "casts remembered from the pool's classes";
        EXPECT_EQ(probeType(), nullptr) << "cycle " << cycle;
        EXPECT_FALSE(loader.isLoaded("HostTestCEntryNodePool"));
    }
}

TEST(NodePoolLoader, CxxEntryPointInTheMorvekNamespaceIsFound)
{
    NodePoolLoader loader;
    std::string error;
    ASSERT_TRUE(loader.load("HostTestCxxEntryNodePool", error)) << error;
    EXPECT_EQ(entryCalls(loader, "HostTestCxxEntryNodePool"), 1);
    EXPECT_EQ(loader.findSymbol("HostTestCxxEntryNodePool", "initHostTestCxxEntryNodePool"),
              nullptr)
        << "the entry point has C++ linkage here";
    EXPECT_TRUE(loader.unload("HostTestCxxEntryNodePool", error)) << error;
}

} // namespace
