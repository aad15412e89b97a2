#include <OpenSG/OSGNodeCore.h>

#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGNode.h>

OSG_BEGIN_NAMESPACE

FieldContainerType NodeCore::_type("NodeCore", "AttachmentContainer", nullptr);

NodeCore::NodeCore(const NodeCore& source) : AttachmentContainer(source) {}

NodeCore::~NodeCore()
{
    // Only reached when the core was released more often than referenced: nodes still
    // carrying it lose it instead of pointing at freed memory.
    if (!_parents.empty()) {
        SWARNING << "NodeCore::~NodeCore: " << getTypeName() << '#' << getContainerId()
                 << " destroyed while " << _parents.size() << " node(s) still carry it"
                 << std::endl;
        for (NodePtr parent : _parents)
            parent->_core = NullFC;
    }
}

void NodeCore::accumulateMatrix(Matrix&) {}

void NodeCore::adjustVolume(BoxVolume&) {}

void NodeCore::invalidateParentVolumes()
{
    for (NodePtr parent : _parents)
        parent->invalidateVolume();
}

OSG_END_NAMESPACE
