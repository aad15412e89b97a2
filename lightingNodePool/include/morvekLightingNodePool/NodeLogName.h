#pragma once

#include <morvekBase/Node.h>

#include <string>

namespace Morvek {

// How log lines name a node after its type ("%s/%s"): the node's name, or its identifier
// string when it has no name.
inline std::string nodeLogName(const Node& node)
{
    return node._name.empty() ? node.getIDStr() : node._name;
}

} // namespace Morvek
