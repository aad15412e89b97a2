#pragma once

#include <morvekBase/AttachmentBag.h>
#include <morvekBase/BitVector.h>
#include <morvekBase/NodeType.h>

#include <OpenSG/OSGSmallObjectPool.h>

#include <string>
#include <vector>

namespace Morvek {

class Field;
class NodeLink;
class NodeNameSpace;
class NodeProc;

// Order in which findField looks at registered fields when several share a name.
enum FieldSearchOrder : int {
    SearchBaseFirst = 0,    // ascending index: the base class's field wins
    SearchDerivedFirst = 1, // descending index: the most derived class's field wins
};

// A scene node: fields, a type record, an optional processor, parents and scene membership.
//
// Life: a node is reference counted (RefCountObject). Fields that link a node hold a
// reference on it; when the last reference goes, shutdown() leaves the scene, empties the
// node's own node fields (releasing its children), shuts the processor down and releases it,
// and then the node is deleted.
//
// Scene membership: a node is live while it is reachable from a scene root through node
// fields of live nodes. Joining calls the processor's attach(), leaving its detach() (children
// leave before their parent detaches, and join after it attached). A node belongs to one scene
// at a time.
class Node : public AttachmentBag {
public:
    // Bits of _status.
    // Set at creation; cleared once the node's first nodeChanged has been delivered.
    static constexpr unsigned int statusFirstUpdate = 1u << 0;
    // Set when a node that had left a scene joins one again; it then gets a full-mask
    // nodeChanged at the next update, and the bit is cleared after that delivery.
    static constexpr unsigned int statusReattached = 1u << 1;

    // Registers a non-empty name in `nameSpace` (which must outlive the node).
    Node(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~Node() override;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    void shutdown() override;
    // Called by Field::processValueChange. The base version hands the change to the host: the
    // field's mask is queued for the processor's next nodeChanged (nothing without processor).
    virtual void fieldChanged(Field& field, const double& time, Field* source);

    // Binds `field` to the row with field index `index` of `declaringType`'s own table and
    // registers it under that index. With `setDefault`, the field then takes the row's default
    // text (without announcing it); a text that does not parse for the field's class is
    // reported with one warning line and the field keeps its placeholder. A missing row, a row
    // of another data type or an index already registered is reported and nothing is bound.
    // The processor, if any, hears of it through fieldAdded().
    void regField(Field& field, NodeType& declaringType, unsigned index, bool setDefault);
    // Unbinds and unregisters the field with that index (fieldRemoved() to the processor).
    void unregField(unsigned index);
    // The registered field named `name`, or null.
    Field* findField(const char* name, FieldSearchOrder order) const;
    // The field registered under `index`, or null.
    Field* getField(unsigned index) const;
    // Registered fields in ascending index order.
    std::vector<Field*> getFields() const;
    // OR of the masks of all registered fields.
    FieldMask getRegisteredMask() const;

    // "#" followed by the node's process-wide serial number, e.g. "#12".
    std::string getIDStr() const;
    unsigned int getID() const { return _id; }
    // The type name, or "" without type record.
    const char* getTypeName() const;
    // "Type/name", or "Type/#id" for a node without name: how log lines name a node.
    std::string getDisplayName() const;

    // Appends to `out` the distinct parents of `node` that are not prototypes, in the order
    // they first linked it; returns the number appended (0 for a null node).
    static unsigned collectNonProtoParents(Node* node, std::vector<Node*>& out);
    // One entry per link that holds this node (a parent linking it twice appears twice).
    // Lists of a node live in OpenSG's small-object pool, like the node itself.
    typedef std::vector<Node*, osg::PoolAllocator<Node*>> NodeList;
    typedef std::vector<Field*, osg::PoolAllocator<Field*>> FieldList;
    const NodeList& getParents() const { return _parents; }

    bool isProto() const { return _isProto; }
    void setProto(bool proto) { _isProto = proto; }

    NodeProc* getProc() const { return _proc; }
    // Attaches `proc` to the node (the node holds a reference on it) and releases the one it
    // had. The host does this in NodeType::createNode.
    void setProc(NodeProc* proc);

    NodeNameSpace& getNameSpace() const { return *_nameSpace; }

    // Scene membership.
    bool isLive() const { return _liveCount > 0; }
    // The scene root this node is part of, or null.
    Node* getLiveRoot() const { return _liveRoot; }
    // Makes this node the root of a scene: it becomes live (attach) and so does everything
    // linked below it. Scene does this for itself. False when the node is already live.
    bool makeLiveRoot(const double& time);
    // Ends what makeLiveRoot began.
    void dropLiveRoot(const double& time);

    // Data read directly by node pools.
    NodeType* _type;
    NodeProc* _proc = nullptr;
    std::string _name;              // empty: the node has no name
    FieldMask _changingMask;        // bits of fields whose change the node is forwarding
    unsigned int _status = 0;       // Status* bits above
    BaseObject* _context = nullptr; // creation context given to NodeType::createNode
    NodeCreator _creator = CreatorUnknown;

private:
    friend class Field;
    friend class NodeLink;
    friend class Runtime;
    friend class NodeType;

    void addFieldObject(Field& field);
    void removeFieldObject(Field& field);
    std::vector<NodeLink*> collectLinks() const;
    void unlinkAllChildren();
    bool enterLive(Node& root, const double& time);
    void leaveLive(const double& time);

    unsigned int _id;
    NodeNameSpace* _nameSpace;
    bool _isProto = false;
    // Registered fields, slot = field index (null where none is registered). Indices are small
    // and dense along a class chain, so a plain array beats a tree here.
    FieldList _fields;
    FieldList _fieldObjects; // every field object bound to this node
    NodeList _parents;
    Node* _liveRoot = nullptr;
    unsigned int _liveCount = 0;
    bool _wasLive = false;
    bool _isRoot = false;
    // Host update queue state (Runtime).
    FieldMask _pendingMask;
    bool _queued = false;
};

} // namespace Morvek
