#include <morvekBase/NodeNameSpace.h>

#include <morvekBase/Node.h>

namespace Morvek {

NodeNameSpace::~NodeNameSpace() = default;

NodeNameSpace& NodeNameSpace::defaultNameSpace()
{
    static NodeNameSpace nameSpace;
    return nameSpace;
}

void NodeNameSpace::add(Node& node)
{
    if (!node._name.empty())
        _nodes[node._name] = &node;
}

void NodeNameSpace::remove(Node& node)
{
    auto it = _nodes.find(node._name);
    if (it != _nodes.end() && it->second == &node)
        _nodes.erase(it);
}

Node* NodeNameSpace::find(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = _nodes.find(name);
    return it == _nodes.end() ? nullptr : it->second;
}

} // namespace Morvek
