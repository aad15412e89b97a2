#pragma once

#include <morvekBase/Field.h>
#include <morvekBase/NodeLink.h>

namespace Morvek {

// A field holding one node (or none) through one NodeLink, which holds a reference on it.
// When the bound row has a constraint, it names the node type the field accepts.
// Note: getNode() here is the linked node; the owning node is Field::getOwner().
class SFNode : public Field {
public:
    SFNode(Node& owner, Node* init);
    ~SFNode() override;

    // The field's link (never null; its node() is null when the field is empty).
    NodeLink* getLink() { return &_link; }
    Node* getNode() const { return _link.node(); }

    // Links `node` (null empties the field) and announces the change. A node that the row's
    // constraint does not accept is refused with a warning line: false, value unchanged.
    bool setNode(Node* node);
    // The same without announcing.
    bool storeNode(Node* node);

    bool storeFromString(const char* text) override; // "NULL" empties the field
    std::string getValueString() const override;     // "NULL" or "Type/name"
    // Final: Node relies on it to skip the type test for fields that link no node.
    NodePartDataType getDataType() const final { return DataSFNode; }
    const char* getClassName() const override { return "SFNode"; }
    void collectLinks(std::vector<NodeLink*>& out) override;

private:
    bool accepts(Node* node) const;

    NodeLink _link;
};

} // namespace Morvek
