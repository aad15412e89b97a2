#include <morvekCoreNodePool/SceneBaseNode.h>

#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/SceneBaseNodeProc.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

NodePartDesc SceneBaseNode::_desc[] = {
    NodePartDesc(NodePartDesc(metadataIndex, metadataMask, PartExposedField, DataSFNode,
                              PartFlagPersistent, "metadata", nullptr, nullptr, nullptr,
                              "Information about this node.", 0),
                 nullptr),
};

NodeType SceneBaseNode::_type(theSceneNodeTypeFactory(), "SceneBaseNode", "CoreNodePool", nullptr,
                              nullptr, nullptr, "Core", nullptr, "stable",
                              "Base of every node of the scene graph.", "Morvek", false, false,
                              &SceneBaseNode::isType, nullptr, nullptr, _desc,
                              sizeof(_desc) / sizeof(_desc[0]));

NodeType& SceneBaseNode::classType() { return _type; }

bool SceneBaseNode::isType(Node* node) { return dynamic_cast<SceneBaseNode*>(node) != nullptr; }

SceneBaseNode::SceneBaseNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : Node(type, nameSpace, name), _metadata(*this, nullptr)
{
    regField(_metadata, _type, metadataIndex, true);
}

SceneBaseNode::~SceneBaseNode() { unregField(metadataIndex); }

SceneBaseNodeProc* SceneBaseNode::getSceneBaseNodeProc() const
{
    return typeCast<SceneBaseNodeProc>(_proc);
}

} // namespace Morvek
