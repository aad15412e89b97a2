#pragma once

#include <OpenSG/OSGSmallObjectPool.h>

namespace Morvek {

class Field;
class Node;

// One link from a node field (SFNode, MFNode) to a node.
//
// Linking a node: adds a reference on it, records the field's owner as its parent, tells both
// processors (childAdded on the owner's, parentAdded on the child's) and, when the owner is
// part of a scene, lets the child join that scene (its processor's attach()).
// Unlinking runs the same steps backwards: leave the scene (detach), tell the processors, drop
// the parent entry, release the reference (which may destroy the node).
class NodeLink {
public:
    OSG_POOLED_ALLOCATION

    NodeLink(const NodeLink&) = delete;
    NodeLink& operator=(const NodeLink&) = delete;

    // The linked node, or null for an empty link.
    Node* node() const { return _node; }
    // The field that holds the link, and its owner (the parent).
    Field& field() const { return *_field; }
    Node& parent() const;
    // True while this link makes the linked node part of the parent's scene.
    bool isLive() const { return _live; }

private:
    friend class SFNode;
    friend class MFNode;
    friend class Node;

    explicit NodeLink(Field& field);
    ~NodeLink();

    // Unlinks the old node (if any), then links `node` (if not null).
    void set(Node* node);
    // Lets the linked node join / leave the parent's scene through this link.
    void enterLive(Node& root, const double& time);
    void leaveLive(const double& time);

    Field* _field;
    Node* _node = nullptr;
    bool _live = false;
};

} // namespace Morvek
