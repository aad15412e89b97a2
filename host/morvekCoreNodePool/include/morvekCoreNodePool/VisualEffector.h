#pragma once

#include <morvekBase/SFBool.h>
#include <morvekCoreNodePool/UnboundedNode.h>

namespace Morvek {

class VisualEffectorProc;

// An unbounded node that changes how things look and can be switched off (type
// "VisualEffector", abstract; base of lights). Declares field index 1, `on`; index 2 is kept
// free for the host, so subclasses number their fields from 3.
class VisualEffector : public UnboundedNode {
public:
    // Field index 1: `on` (SFBool, default TRUE): whether the effect is active.
    static constexpr unsigned int onIndex = 1;
    static constexpr FieldMask onMask = FieldMask::bit(onIndex);

    static NodeType& classType();
    static bool isType(Node* node);

    SFBool& on() { return _on; }

    VisualEffectorProc* getVisualEffectorProc() const;

protected:
    VisualEffector(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~VisualEffector() override;

private:
    SFBool _on;

    static NodePartDesc _desc[];
    static NodeType _type;
};

} // namespace Morvek
