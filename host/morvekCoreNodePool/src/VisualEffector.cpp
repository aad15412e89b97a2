#include <morvekCoreNodePool/VisualEffector.h>

#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekCoreNodePool/VisualEffectorProc.h>

namespace Morvek {

NodePartDesc VisualEffector::_desc[] = {
    NodePartDesc(NodePartDesc(onIndex, onMask, PartExposedField, DataSFBool, PartFlagPersistent,
                              "on", nullptr, "TRUE", nullptr, "Enables or disables the effect.", 0),
                 nullptr),
};

NodeType VisualEffector::_type(theSceneNodeTypeFactory(), "VisualEffector", "CoreNodePool",
                               "UnboundedNode", nullptr, nullptr, "Core", nullptr, "stable",
                               "An unbounded node that changes how things look.", "Morvek", false,
                               false, &VisualEffector::isType, nullptr, nullptr, _desc,
                               sizeof(_desc) / sizeof(_desc[0]));

NodeType& VisualEffector::classType() { return _type; }

bool VisualEffector::isType(Node* node) { return dynamic_cast<VisualEffector*>(node) != nullptr; }

VisualEffector::VisualEffector(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : UnboundedNode(type, nameSpace, name), _on(*this, false)
{
    regField(_on, _type, onIndex, true);
}

VisualEffector::~VisualEffector() { unregField(onIndex); }

VisualEffectorProc* VisualEffector::getVisualEffectorProc() const
{
    return typeCast<VisualEffectorProc>(_proc);
}

} // namespace Morvek
