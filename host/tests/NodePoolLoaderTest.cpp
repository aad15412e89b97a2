// Loading node pools by name: search folders, both kinds of entry point, and the errors.

#include <morvekBase/NodePoolLoader.h>
#include <morvekBase/NodeTypeNameSpace.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace Morvek;

namespace {

// Folder of the test pool that is not next to the host libraries (set by the build).
const std::string PluginFolder = HOST_TEST_PLUGIN_DIR;

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

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/morvekPoolsXXXXXX";
        _path = ::mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(_path); }
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

// The file and entry point names follow the pool's name (libmorvek<name>.so, init<name>).
TEST(NodePoolLoader, ErrorsComeBackAsTextAndLeaveNothingLoaded)
{
    TempFolder folder;
    std::ofstream(folder.path() + "/libmorvekBroken.so") << "this is not a shared library";
    const std::string host = NodePoolLoader::hostLibraryFolder();

    struct Row {
        const char* name;
        std::string pool;
        std::string searchFolder;
        std::string error; // exact, or a prefix when it ends with "..."
    };
    const Row rows[] = {
        {"missing file", "Missing", "",
         "Node pool Missing: libmorvekMissing.so not found in " + host},
        {"missing file, two folders", "Missing", folder.path(),
         "Node pool Missing: libmorvekMissing.so not found in " + folder.path() + ", " + host},
        {"file only in another folder", "HostTestCEntryNodePool", "",
         "Node pool HostTestCEntryNodePool: libmorvekHostTestCEntryNodePool.so not found in " +
             host},
        {"missing entry point", "HostTestNoEntryNodePool", "",
         "Node pool HostTestNoEntryNodePool: " + host +
             "/libmorvekHostTestNoEntryNodePool.so has no entry point "
             "initHostTestNoEntryNodePool"},
        {"not a library", "Broken", folder.path(),
         "Node pool Broken: cannot load " + folder.path() + "/libmorvekBroken.so: ..."},
        {"bad name", "../Pool", "", "Node pool name \"../Pool\" is not valid (empty or with '/')"},
        {"empty name", "", "", "Node pool name \"\" is not valid (empty or with '/')"},
    };
    for (const Row& row : rows) {
        NodePoolLoader loader;
        loader.setSearchFolder(row.searchFolder);
        std::string error;
        EXPECT_FALSE(loader.load(row.pool, error)) << row.name;
        if (row.error.size() > 3 && row.error.compare(row.error.size() - 3, 3, "...") == 0)
            EXPECT_EQ(error.substr(0, row.error.size() - 3),
                      row.error.substr(0, row.error.size() - 3))
                << row.name << ": " << error;
        else
            EXPECT_EQ(error, row.error) << row.name;
        EXPECT_FALSE(loader.isLoaded(row.pool)) << row.name;
    }

    NodePoolLoader loader;
    std::string error;
    EXPECT_FALSE(loader.unload("Missing", error));
    EXPECT_EQ(error, "Node pool Missing is not loaded");
}

TEST(NodePoolLoader, CEntryPoolRegistersItsTypesWhileLoaded)
{
    for (int cycle = 0; cycle < 20; ++cycle) {
        NodePoolLoader loader;
        loader.setSearchFolder(PluginFolder);
        std::string error;
        ASSERT_TRUE(loader.load("HostTestCEntryNodePool", error)) << error;
        EXPECT_EQ(error, "");
        EXPECT_EQ(loader.getLibraryPath("HostTestCEntryNodePool"),
                  PluginFolder + "/libmorvekHostTestCEntryNodePool.so");
        EXPECT_EQ(entryCalls(loader, "HostTestCEntryNodePool"), 1);
        ASSERT_NE(probeType(), nullptr);
        EXPECT_STREQ(probeType()->getPool(), "HostTestCEntry");

        // Loading again runs the entry point again without opening the library twice.
        ASSERT_TRUE(loader.load("HostTestCEntryNodePool", error)) << error;
        EXPECT_EQ(entryCalls(loader, "HostTestCEntryNodePool"), 2);

        ASSERT_TRUE(loader.unload("HostTestCEntryNodePool", error)) << error;
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
