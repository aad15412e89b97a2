#include <morvekBase/SFNode.h>

#include <morvekBase/ClassicEncoding.h>
#include <morvekBase/HostLog.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/Runtime.h>

#include <cstring>

namespace Morvek {

SFNode::SFNode(Node& owner, Node* init) : Field(owner), _link(*this)
{
    if (init)
        _link.set(init);
}

SFNode::~SFNode() = default;

bool SFNode::accepts(Node* node) const
{
    const char* constraint = getDesc() ? getDesc()->getConstraint() : nullptr;
    if (!node || !constraint || !node->_type || node->_type->isDerivedFrom(constraint))
        return true;
    MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekBase/SFNode",
                    "Field %s accepts %s nodes, not %s; value unchanged\n",
                    getDisplayName().c_str(), constraint, node->getDisplayName().c_str());
    return false;
}

bool SFNode::setNode(Node* node)
{
    if (!storeNode(node))
        return false;
    processValueChange(Runtime::instance().getTime(), CallerHost);
    return true;
}

bool SFNode::storeNode(Node* node)
{
    if (!accepts(node))
        return false;
    _link.set(node);
    return true;
}

bool SFNode::storeFromString(const char* text)
{
    // Only the empty value has a text form here; nodes are linked from code.
    if (!text)
        return false;
    std::string trimmed(text);
    const auto first = trimmed.find_first_not_of(" \t\r\n,");
    const auto last = trimmed.find_last_not_of(" \t\r\n,");
    if (first == std::string::npos || trimmed.substr(first, last - first + 1) != "NULL")
        return false;
    _link.set(nullptr);
    return true;
}

std::string SFNode::getValueString() const
{
    return _link.node() ? _link.node()->getDisplayName() : "NULL";
}

void SFNode::collectLinks(std::vector<NodeLink*>& out)
{
    // An empty link has nothing to take into or out of a scene; leaving it out spares most
    // nodes (whose metadata is empty) a list on every attach and detach.
    if (_link.node())
        out.push_back(&_link);
}

} // namespace Morvek
