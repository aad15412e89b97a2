#pragma once

#include <morvekBase/BaseObject.h>
#include <morvekBase/BitVector.h>

#include <string>

namespace Morvek {

class Node;
class NodeNameSpace;
class NodePartDesc;
class NodeProc;
class NodeType;
class NodeTypeNameSpace;

// Who asks for a node. Nodes created with CreatorProto are prototype nodes (Node::isProto()):
// templates that are not part of a scene and never count as a scene parent.
enum NodeCreator : int {
    CreatorUnknown = 0,
    CreatorProgram = 1, // created by code, e.g. by a processor that generates nodes
    CreatorParser = 2,  // created while reading a scene file
    CreatorProto = 3,   // created as part of a prototype definition
};

typedef bool (*IsTypeFunc)(Node*);
typedef Node* (*CreateNodeFunc)(NodeType&, NodeNameSpace&, const char*);
typedef NodeProc* (*CreateProcFunc)(NodeType&, Node&);

// The type record of a node type: its names and documentation, its place in the type tree
// (by parent name only), its descriptor table and the three hooks through which the host tests,
// creates and processes nodes of the type.
//
// Constructing a record registers it under its name in the given name space; a record that
// reuses a registered name replaces the older one there (with a warning). The destructor
// unregisters the record, but only while it is still the one registered under its name.
// All texts are copied; `desc` is kept as a pointer and must outlive the record.
class NodeType : public BaseObject {
public:
    // ns:            name space to register in
    // name:          type name, e.g. "Group"
    // pool:          name of the node pool that supplies the type, e.g. "CoreNodePool"
    // parentName:    name of the parent type, or null for a root type
    // containerField: default field of a parent that holds nodes of this type, or null
    // profile:       X3D profile the type belongs to, or null
    // component:     X3D component, e.g. "Grouping"
    // componentLevel: level within the component, or null
    // status:        "stable", "beta", ...
    // description:   documentation text
    // standard:      the standard the type follows, e.g. "X3D2.0"
    // internal:      stored only (a type hidden from users)
    // deprecated:    stored only
    // isType:        type test, or null (then the test walks the parent names)
    // createNode:    node factory, or null for an abstract type
    // createProc:    processor factory, or null for a node without processor
    // desc, numDesc: the type's own descriptor rows
    NodeType(NodeTypeNameSpace& ns, const char* name, const char* pool, const char* parentName,
             const char* containerField, const char* profile, const char* component,
             const char* componentLevel, const char* status, const char* description,
             const char* standard, bool internal, bool deprecated, IsTypeFunc isType,
             CreateNodeFunc createNode, CreateProcFunc createProc, NodePartDesc* desc,
             unsigned int numDesc);
    ~NodeType() override;
    NodeType(const NodeType&) = delete;
    NodeType& operator=(const NodeType&) = delete;

    const char* getName() const { return _name.c_str(); }
    const char* getPool() const;
    const char* getParentName() const;
    const char* getContainerField() const;
    const char* getProfile() const;
    const char* getComponent() const;
    const char* getComponentLevel() const;
    const char* getStatus() const;
    const char* getDescription() const;
    const char* getStandard() const;
    bool isInternal() const { return _internal; }
    bool isDeprecated() const { return _deprecated; }
    IsTypeFunc getIsType() const { return _isType; }
    CreateNodeFunc getCreateNode() const { return _createNode; }
    CreateProcFunc getCreateProc() const { return _createProc; }
    NodePartDesc* getDesc() const { return _desc; }
    unsigned int getNumDesc() const { return _numDesc; }
    NodeTypeNameSpace& getNameSpace() const { return *_nameSpace; }

    // The row with the given field index in this type's own table, or null.
    const NodePartDesc* findDesc(unsigned int index) const;
    // The parent's record, looked up by name in this record's name space; null for a root.
    NodeType* getParentType() const;
    // True when this type is `typeName` or derives from it (by parent names).
    bool isDerivedFrom(const char* typeName) const;
    // The type test: the record's own isType hook, or else whether the node's record is this
    // record or derives from it. False for null.
    bool isType(Node* node);

    // Creates a node of this type through the node factory. The node goes to the name space
    // given as `context` when that is a NodeNameSpace, else to the default one. The host then:
    //   1. stores `context` and `creator` in the node (a prototype for CreatorProto);
    //   2. builds the processor with the processor factory (when the type has one), attaches
    //      it to the node and runs its setup() and initialize(current time);
    //   3. sets status bit Node::statusFirstUpdate and queues every registered field of the
    //      node for the next Runtime update, so that the first nodeChanged carries all field
    //      bits and the initial values reach OpenSG.
    // Attaching to a scene happens later, when the node joins one (Node::isLive()).
    // Returns null (with a log line) when the type has no node factory or the factory fails.
    // The new node's reference count is 0: hold it (RefPtr, a field) to keep it.
    Node* createNode(BaseObject* context, const char* name, NodeCreator creator);

private:
    struct Text {
        Text(const char* text) : present(text != nullptr), value(text ? text : "") {}
        const char* get() const { return present ? value.c_str() : nullptr; }
        bool present;
        std::string value;
    };

    NodeTypeNameSpace* _nameSpace;
    std::string _name;
    Text _pool;
    Text _parentName;
    Text _containerField;
    Text _profile;
    Text _component;
    Text _componentLevel;
    Text _status;
    Text _description;
    Text _standard;
    bool _internal;
    bool _deprecated;
    IsTypeFunc _isType;
    CreateNodeFunc _createNode;
    CreateProcFunc _createProc;
    NodePartDesc* _desc;
    unsigned int _numDesc;
    // Whether the rows hold consecutive indices in order, so that a row is found by position:
    // worked out at the first look-up (the rows may be filled after this record is built).
    mutable signed char _descByPosition = -1;
};

} // namespace Morvek
