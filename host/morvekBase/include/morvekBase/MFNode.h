#pragma once

#include <morvekBase/Field.h>
#include <morvekBase/NodeLink.h>

#include <vector>

namespace Morvek {

class NodeType;

// A field holding a list of nodes, each through its own NodeLink (which holds a reference).
// Adding and removing children does not announce a change: the caller announces once after a
// batch (Field::processValueChange). Links keep their addresses while they are in the list.
class MFNode : public Field {
public:
    // restriction: the node type every child must be of (NodeType::isType), or null for any.
    // The bound row's constraint, when it names a type, restricts the children as well.
    MFNode(Node& owner, NodeType* restriction);
    ~MFNode() override;

    using Field::getNode;

    // Appends `node`. Null, or a node the restrictions refuse, gives a warning line and null.
    NodeLink* addChild(Node* node);
    // Removes the child at `index`; false for an index out of range.
    bool removeChild(unsigned index);
    // Number of children.
    virtual size_t size() const;
    // Removes every child, last first.
    virtual void clear();

    Node* getNode(unsigned index) const;
    NodeLink* getLink(unsigned index) const;
    // Index of the first link to `node`, or -1.
    int findChild(const Node* node) const;
    NodeType* getRestriction() const { return _restriction; }

    bool storeFromString(const char* text) override; // "[]" or "" empties the field
    std::string getValueString() const override;     // "[ Type/name Type/name ]"
    // Final: Node relies on it to skip the type test for fields that link no node.
    NodePartDataType getDataType() const final { return DataMFNode; }
    const char* getClassName() const override { return "MFNode"; }
    void collectLinks(std::vector<NodeLink*>& out) override;

private:
    bool accepts(Node* node) const;

    NodeType* _restriction;
    std::vector<NodeLink*> _links; // owned
};

} // namespace Morvek
