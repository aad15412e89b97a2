#pragma once

#include <morvekBase/MFNode.h>
#include <morvekCoreNodePool/SceneBaseNode.h>

namespace Morvek {

class GroupProc;

// A grouping node (type "Group"): its children are scene nodes; its processor's OpenSG node
// (core osg::Group) holds their OpenSG nodes.
class Group : public SceneBaseNode {
public:
    // Field index 1: `children` (MFNode of SceneBaseNode, empty by default).
    static constexpr unsigned int childrenIndex = 1;
    static constexpr FieldMask childrenMask = FieldMask::bit(childrenIndex);

    static NodeType& classType();
    static bool isType(Node* node);
    // A new Group through its type record (NodeType::createNode with CreatorProgram).
    static Group* create(const char* name = nullptr);

    MFNode& children() { return _children; }
    GroupProc* getGroupProc() const;

protected:
    Group(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~Group() override;

private:
    static Node* createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    static NodeProc* createProc(NodeType& type, Node& node);

    MFNode _children;

    static NodePartDesc _desc[];
    static NodeType _type;
};

} // namespace Morvek
