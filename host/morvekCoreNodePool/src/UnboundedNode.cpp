#include <morvekCoreNodePool/UnboundedNode.h>

#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekCoreNodePool/UnboundedNodeProc.h>

namespace Morvek {

NodeType UnboundedNode::_type(theSceneNodeTypeFactory(), "UnboundedNode", "CoreNodePool",
                              "SceneBaseNode", nullptr, nullptr, "Core", nullptr, "stable",
                              "A scene node without bounding box.", "Morvek", false, false,
                              &UnboundedNode::isType, nullptr, nullptr, nullptr, 0);

NodeType& UnboundedNode::classType() { return _type; }

bool UnboundedNode::isType(Node* node) { return dynamic_cast<UnboundedNode*>(node) != nullptr; }

UnboundedNode::UnboundedNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : SceneBaseNode(type, nameSpace, name)
{
}

UnboundedNode::~UnboundedNode() = default;

UnboundedNodeProc* UnboundedNode::getUnboundedNodeProc() const
{
    return typeCast<UnboundedNodeProc>(_proc);
}

} // namespace Morvek
