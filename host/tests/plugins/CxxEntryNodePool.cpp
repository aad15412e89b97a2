// A node pool whose entry point is a C++ function in namespace Morvek.

namespace {
int entryCalls = 0;
}

namespace Morvek {

__attribute__((visibility("default"))) void initHostTestCxxEntryNodePool() { ++entryCalls; }

} // namespace Morvek

extern "C" __attribute__((visibility("default"))) int hostTestEntryCalls() { return entryCalls; }
