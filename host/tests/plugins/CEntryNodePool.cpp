// A node pool with a C entry point that registers one type, "PluginProbe", while it is loaded.

#include <morvekBase/NodeType.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace {

int entryCalls = 0;

Morvek::NodeType probeType(Morvek::theSceneNodeTypeFactory(), "PluginProbe", "HostTestCEntry",
                           nullptr, nullptr, nullptr, "Testing", nullptr, "beta",
                           "registered by a test pool", "Morvek", false, false, nullptr, nullptr,
                           nullptr, nullptr, 0);

} // namespace

extern "C" __attribute__((visibility("default"))) void initHostTestCEntryNodePool()
{
    ++entryCalls;
}

extern "C" __attribute__((visibility("default"))) int hostTestEntryCalls() { return entryCalls; }
