#pragma once

#include <morvekBase/Node.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/SFNode.h>

namespace Morvek {

class SceneBaseNodeProc;

// Base of every node that takes part in the scene graph (type "SceneBaseNode", abstract).
// Declares field index 0, `metadata`.
class SceneBaseNode : public Node {
public:
    // Field index 0: `metadata` (SFNode, default NULL): information about the node; the host
    // keeps it and does nothing else with it.
    static constexpr unsigned int metadataIndex = 0;
    static constexpr FieldMask metadataMask = FieldMask::bit(metadataIndex);

    static NodeType& classType();
    static bool isType(Node* node);

    SFNode& metadata() { return _metadata; }

    // The processor as a SceneBaseNodeProc, or null when the node has none or another kind.
    SceneBaseNodeProc* getSceneBaseNodeProc() const;

protected:
    SceneBaseNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~SceneBaseNode() override;

private:
    SFNode _metadata;

    static NodePartDesc _desc[];
    static NodeType _type;
};

} // namespace Morvek
