#include <morvekCoreNodePool/GroupProc.h>

namespace Morvek {

GroupProc::GroupProc(NodeType& type, Node& node) : SceneBaseNodeProc(type, node)
{
    setCore("Group");
}

GroupProc::GroupProc(const GroupProc& other) : SceneBaseNodeProc(other) { setCore("Group"); }

GroupProc& GroupProc::operator=(const GroupProc& other)
{
    SceneBaseNodeProc::operator=(other);
    return *this;
}

GroupProc::~GroupProc() = default;

} // namespace Morvek
