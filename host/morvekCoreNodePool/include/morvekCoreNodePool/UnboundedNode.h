#pragma once

#include <morvekCoreNodePool/SceneBaseNode.h>

namespace Morvek {

class UnboundedNodeProc;

// A scene node without bounding box (type "UnboundedNode", abstract): lights, effects.
// Declares no fields.
class UnboundedNode : public SceneBaseNode {
public:
    static NodeType& classType();
    static bool isType(Node* node);

    UnboundedNodeProc* getUnboundedNodeProc() const;

protected:
    UnboundedNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~UnboundedNode() override;

private:
    static NodeType _type;
};

} // namespace Morvek
