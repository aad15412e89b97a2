#pragma once

#include <morvekCoreNodePool/UnboundedNodeProc.h>

namespace Morvek {

// Processor base of visual effectors. It adds no behaviour of its own: each effector decides
// what `on` means for its OpenSG objects.
class VisualEffectorProc : public UnboundedNodeProc {
public:
    VisualEffectorProc(NodeType& type, Node& node);
    VisualEffectorProc(const VisualEffectorProc& other);
    VisualEffectorProc& operator=(const VisualEffectorProc& other);
    ~VisualEffectorProc() override;
};

} // namespace Morvek
