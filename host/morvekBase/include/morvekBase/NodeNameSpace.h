#pragma once

#include <morvekBase/BaseObject.h>

#include <cstddef>
#include <map>
#include <string>

namespace Morvek {

class Node;

// The names given to nodes (X3D DEF names) within one scope. A node enters its name space when
// it is constructed with a non-empty name and leaves it when destroyed. When two nodes share a
// name, the later one is found; removing it does not bring the earlier one back.
class NodeNameSpace : public BaseObject {
public:
    NodeNameSpace() = default;
    ~NodeNameSpace() override;
    NodeNameSpace(const NodeNameSpace&) = delete;
    NodeNameSpace& operator=(const NodeNameSpace&) = delete;

    // The process-wide name space used when no other is given.
    static NodeNameSpace& defaultNameSpace();

    void add(Node& node);
    // Removes the entry of `node`'s name if it names `node`.
    void remove(Node& node);
    Node* find(const char* name) const;
    size_t size() const { return _nodes.size(); }

private:
    std::map<std::string, Node*> _nodes;
};

} // namespace Morvek
