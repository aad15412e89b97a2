#include <morvekCoreNodePool/VisualEffectorProc.h>

namespace Morvek {

VisualEffectorProc::VisualEffectorProc(NodeType& type, Node& node) : UnboundedNodeProc(type, node)
{
}

VisualEffectorProc::VisualEffectorProc(const VisualEffectorProc& other) : UnboundedNodeProc(other)
{
}

VisualEffectorProc& VisualEffectorProc::operator=(const VisualEffectorProc& other)
{
    UnboundedNodeProc::operator=(other);
    return *this;
}

VisualEffectorProc::~VisualEffectorProc() = default;

} // namespace Morvek
