#pragma once

#include <morvekCoreNodePool/SceneBaseNodeProc.h>

namespace Morvek {

class UnboundedNode;

// Processor base of unbounded nodes.
class UnboundedNodeProc : public SceneBaseNodeProc {
public:
    UnboundedNodeProc(NodeType& type, Node& node);
    UnboundedNodeProc(const UnboundedNodeProc& other);
    UnboundedNodeProc& operator=(const UnboundedNodeProc& other);
    ~UnboundedNodeProc() override;

    // The host's reaction to a field change reported by the node: the field's mask is queued
    // for the next Runtime update, which delivers the OR of all queued masks through one
    // nodeChanged. `node` must be this processor's node (another node's change is queued for
    // that node). `source` is not used.
    void fieldChanged(UnboundedNode& node, Field& field, const double& time, Field* source);
};

} // namespace Morvek
