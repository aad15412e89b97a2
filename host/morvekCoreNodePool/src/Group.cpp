#include <morvekCoreNodePool/Group.h>

#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/GroupProc.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

NodePartDesc Group::_desc[] = {
    NodePartDesc(NodePartDesc(childrenIndex, childrenMask, PartExposedField, DataMFNode,
                              PartFlagPersistent, "children", nullptr, nullptr, "SceneBaseNode",
                              "The grouped nodes.", 0),
                 nullptr),
};

NodeType Group::_type(theSceneNodeTypeFactory(), "Group", "CoreNodePool", "SceneBaseNode",
                      "children", nullptr, "Grouping", nullptr, "stable",
                      "Groups scene nodes; lights scoped to the group reach only its children.",
                      "X3D2.0", false, false, &Group::isType, &Group::createNode,
                      &Group::createProc, _desc, sizeof(_desc) / sizeof(_desc[0]));

NodeType& Group::classType() { return _type; }

bool Group::isType(Node* node) { return dynamic_cast<Group*>(node) != nullptr; }

Group* Group::create(const char* name)
{
    return dynamic_cast<Group*>(_type.createNode(nullptr, name, CreatorProgram));
}

Node* Group::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new Group(type, nameSpace, name);
}

NodeProc* Group::createProc(NodeType& type, Node& node) { return new GroupProc(type, node); }

Group::Group(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : SceneBaseNode(type, nameSpace, name), _children(*this, &SceneBaseNode::classType())
{
    regField(_children, _type, childrenIndex, true);
}

Group::~Group() { unregField(childrenIndex); }

GroupProc* Group::getGroupProc() const { return typeCast<GroupProc>(_proc); }

} // namespace Morvek
