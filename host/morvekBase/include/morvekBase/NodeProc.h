#pragma once

#include <morvekBase/AttachmentBag.h>
#include <morvekBase/BitVector.h>
#include <morvekBase/NodePart.h>

#include <memory>
#include <vector>

namespace Morvek {

class Field;
class Node;
class NodeNameSpace;
class NodePartDesc;
class NodeType;

// The processor of a node: the half that mirrors the node into another system (OpenSG).
// The host creates it with the type's processor factory, keeps it with the node (one
// reference) and drives it through the virtual operations below, in this slot order.
//
// Host calls, in the order of a node's life:
//   setup(), initialize(time)          right after creation (NodeType::createNode)
//   fieldAdded/fieldRemoved            when the node registers/unregisters a field
//   childAdded/childRemoved,
//   parentAdded/parentRemoved          when a node field links/unlinks a node
//   attach(time)                       when the node joins a scene
//   nodeChanged(time, mask)            at each Runtime update with changes queued for the node
//   childChanged(time, child, mask)    after each nodeChanged of a linked child
//   detach(time)                       when the node leaves its scene
//   shutdown(time), dispose()          when the node goes; then the processor is released
// Routes do not exist in this host yet: routeAdded/routeRemoved are never called.
class NodeProc : public AttachmentBag {
public:
    NodeProc(NodeType& type, Node& node);
    // A processor for the same type and node; dynamic fields are not copied.
    NodeProc(const NodeProc& other);
    // Keeps this processor's type and node; copies the child name space setting.
    NodeProc& operator=(const NodeProc& other);
    ~NodeProc() override;

    void shutdown() override;
    virtual void setup();
    virtual void initialize(const double& time);
    virtual void attach(const double& time);
    virtual void detach(const double& time);
    virtual void shutdown(const double& time);
    virtual void dispose();
    virtual void childChanged(const double& time, Node& child, const FieldMask& mask);
    virtual void nodeChanged(const double& time, const BitVector<unsigned long long>& mask);
    virtual void childAdded(const double& time, Field& field, Node& child);
    virtual void childRemoved(const double& time, Field& field, Node& child);
    virtual void parentAdded(const double& time, Node& parent);
    virtual void parentRemoved(const double& time, Node& parent);
    virtual void fieldAdded(const double& time, Field& field);
    virtual void fieldRemoved(const double& time, Field& field);
    virtual void routeAdded(const double& time, Field& from, Field& to);
    virtual void routeRemoved(const double& time, Field& from, Field& to);
    // Adds a dynamic field described by `row` (a copy is kept) to the node; it takes the row's
    // default. Null (logged) for a name already used or a data type without field class.
    // Supported classes: SFBool, SFInt32, SFFloat, SFColor, SFVec3f, SFString, MFString,
    // SFNode, MFNode.
    virtual Field* addNodePart(const NodePartDesc& row);
    // The same from a name, a data type and a part type, without default.
    virtual Field* addNodePart(const char* name, NodePartDataType dataType, NodePartType partType);
    // Removes the dynamic field `name`; false when there is none.
    virtual bool removeNodePart(const char* name);
    // A dynamic field of this processor or a registered field of the node, by name.
    virtual Field* findField(const char* name);
    // Copies the value of every field that `other` shares with this node by name and class
    // (storing, not announcing); returns the number of values copied.
    virtual unsigned mergeNode(Node& other);
    // The name space of the node's own name.
    virtual NodeNameSpace* nameSpace();
    // The name space for nodes created under this one (prototype bodies); null: the node's.
    virtual NodeNameSpace* childNameSpace();
    virtual void setChildNameSpace(NodeNameSpace* nameSpace);

    Node& getNode() const { return *_node; }
    NodeType& getType() const { return *_type; }

    // Host reaction to a field change of the node: queue the field's mask for the next
    // nodeChanged (Runtime). A field bound to no row has mask 0 and queues nothing.
    void queueFieldChange(Field& field, const double& time);

private:
    struct DynamicField;

    NodeType* _type;
    Node* _node;
    NodeNameSpace* _childNameSpace = nullptr;
    std::vector<std::unique_ptr<DynamicField>> _dynamicFields;
};

} // namespace Morvek
