#pragma once

#include <OpenSG/OSGAttachmentContainer.h>
#include <OpenSG/OSGBoxVolume.h>
#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGNodeCoreFields.h>
#include <OpenSG/OSGNodeFields.h>

OSG_BEGIN_NAMESPACE

// What a node does. A core can be shared by several nodes; getParents() lists them in the
// order they called setCore and holds no references on them.
class NodeCore : public AttachmentContainer {
    typedef AttachmentContainer Inherited;

public:
    static constexpr UInt32 ParentsFieldId = Inherited::NextFieldId;
    static constexpr BitVector ParentsFieldMask = maskOf(ParentsFieldId);
    static constexpr UInt32 NextFieldId = ParentsFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    MFNodePtr& getParents() { return _parents; }
    const MFNodePtr& getParents() const { return _parents; }

    // Multiplies the core's own transformation onto result (identity here).
    virtual void accumulateMatrix(Matrix& result);
    // Adjusts the box of the node's children by the core (nothing here).
    virtual void adjustVolume(BoxVolume& volume);

protected:
    NodeCore() = default;
    // The parents list is not copied.
    NodeCore(const NodeCore& source);
    ~NodeCore() override;

    // Marks the boxes of every node carrying this core stale.
    void invalidateParentVolumes();

private:
    friend class Node;
    static FieldContainerType _type;

    MFNodePtr _parents;
};

OSG_END_NAMESPACE
