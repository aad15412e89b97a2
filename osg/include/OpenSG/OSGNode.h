#pragma once

#include <OpenSG/OSGAttachmentContainer.h>
#include <OpenSG/OSGBoxVolume.h>
#include <OpenSG/OSGMatrix.h>
#include <OpenSG/OSGNodeCoreFields.h>
#include <OpenSG/OSGNodeFields.h>

OSG_BEGIN_NAMESPACE

// A node of the scene graph: one core, any number of children, at most one parent.
//
// References: the node holds one on its core and one on each child; the parent field holds
// none. addChild/insertChild/replaceChild move a child that has another parent (releasing
// that parent's reference). ~Node releases the core and every child.
//
// Bad input never crashes: a null child is ignored, an index out of range or a child that
// is not there logs a warning and changes nothing, and a node is never made a child of
// itself or of one of its descendants (warning, no change). Bookkeeping of other containers
// (the core's parents list, a child's parent field) is written directly, without changed()
// and without change list entries.
class Node : public AttachmentContainer {
    typedef AttachmentContainer Inherited;

public:
    static constexpr UInt32 VolumeFieldId = Inherited::NextFieldId;
    static constexpr BitVector VolumeFieldMask = maskOf(VolumeFieldId);
    static constexpr UInt32 TravMaskFieldId = VolumeFieldId + 1;
    static constexpr BitVector TravMaskFieldMask = maskOf(TravMaskFieldId);
    static constexpr UInt32 ParentFieldId = TravMaskFieldId + 1;
    static constexpr BitVector ParentFieldMask = maskOf(ParentFieldId);
    static constexpr UInt32 ChildrenFieldId = ParentFieldId + 1;
    static constexpr BitVector ChildrenFieldMask = maskOf(ChildrenFieldId);
    static constexpr UInt32 CoreFieldId = ChildrenFieldId + 1;
    static constexpr BitVector CoreFieldMask = maskOf(CoreFieldId);
    static constexpr UInt32 NextFieldId = CoreFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new node (count 0, null core, no children, travMask 0xFFFFFFFF), or NullFC before
    // osgInit.
    static NodePtr create();

    NodePtr getPtr() const { return NodePtr(this); }

    // Core
    NodeCorePtr getCore() const { return _core; }
    // References the new core first, then takes the node off the old core's parents list
    // and releases it; the node is appended to the new core's parents list.
    void setCore(const NodeCorePtr& core);

    // Tree
    NodePtr getParent() const { return _parent; }
    UInt32 getNChildren() const { return _children.size(); }
    const MFNodePtr& getMFChildren() const { return _children; }
    // NullFC (and a warning) when index is out of range.
    NodePtr getChild(UInt32 index) const;
    // Index of the child, -1 when absent.
    Int32 findChild(const NodePtr& child) const;

    void addChild(const NodePtr& child);
    // Index == getNChildren() appends.
    void insertChild(UInt32 index, const NodePtr& child);
    // The child at index gets -1 and loses its parent.
    void replaceChild(UInt32 index, const NodePtr& child);
    // False when oldChild is not a child of this node or newChild is null.
    bool replaceChildBy(const NodePtr& oldChild, const NodePtr& newChild);
    // Clears the child's parent, then releases it (which may destroy its subtree).
    void subChild(const NodePtr& child);
    void subChild(UInt32 index);

    // Traversal mask: 0 hides the node from traversals and volume updates.
    bool getActive() const { return _travMask == 0xFFFFFFFFu; }
    void setActive(bool active) { _travMask = active ? 0xFFFFFFFFu : 0u; }
    UInt32 getTravMask() const { return _travMask; }
    void setTravMask(UInt32 travMask) { _travMask = travMask; }

    // Product of the core matrices from the root down to and including this node's core.
    Matrix getToWorld() const;
    void getToWorld(Matrix& result) const;

    // Bounding box in this node's parent coordinates (children's boxes, then the core's
    // adjustment). getVolume(true) recomputes a stale box first.
    const BoxVolume& getVolume(bool update = true);
    void updateVolume();
    // Marks this node's box and its ancestors' boxes stale.
    void invalidateVolume();
    // The box in world coordinates.
    void getWorldVolume(BoxVolume& result);

    // Core bit: the volume is stale. TravMask bit: the parent's volume is stale.
    void changed(BitVector whichField, UInt32 origin) override;
    FieldContainerPtr shallowCopy() const override;

protected:
    Node();
    Node(const Node& source);
    ~Node() override;

private:
    friend class NodeCore;
    static FieldContainerPtr createPrototype();
    static FieldContainerType _type;

    // True when candidate is this node or one of its ancestors.
    bool isSelfOrAncestor(const Node* candidate) const;
    // Detaches child from its current parent (if any) without touching its count.
    static void unlinkFromParent(Node* child);
    // Takes a reference on child and unlinks it from its old parent; returns index shifted
    // down by one when the child stood before that position below this very node.
    UInt32 takeFromOldParent(const NodePtr& child, UInt32 index);
    // Called after a child was linked below this node: keeps the stale stamps below it true.
    void noteNewAncestors();

    NodeCorePtr _core;
    NodePtr _parent;
    MFNodePtr _children;
    UInt32 _travMask = 0xFFFFFFFFu;
    BoxVolume _volume;
    // _volumeEpoch when this box and all its ancestors' boxes were last known stale; a box
    // made valid anywhere retires every stamp.
    UInt64 _staleEpoch = 0;
    static UInt64 _volumeEpoch;
};

OSG_END_NAMESPACE
