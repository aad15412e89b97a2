#include <morvekCoreNodePool/UnboundedNodeProc.h>

#include <morvekBase/Field.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/UnboundedNode.h>

namespace Morvek {

UnboundedNodeProc::UnboundedNodeProc(NodeType& type, Node& node) : SceneBaseNodeProc(type, node) {}

UnboundedNodeProc::UnboundedNodeProc(const UnboundedNodeProc& other) : SceneBaseNodeProc(other) {}

UnboundedNodeProc& UnboundedNodeProc::operator=(const UnboundedNodeProc& other)
{
    SceneBaseNodeProc::operator=(other);
    return *this;
}

UnboundedNodeProc::~UnboundedNodeProc() = default;

void UnboundedNodeProc::fieldChanged(UnboundedNode& node, Field& field, const double&, Field*)
{
    // Host choice: processors learn of changes only through nodeChanged; here the change is
    // just queued, and the next Runtime update delivers the OR of all queued masks.
    const FieldMask mask = field.getMask();
    if (mask.any())
        Runtime::instance().queueChange(node, mask);
}

} // namespace Morvek
