#include <morvekBase/MFNode.h>

#include <morvekBase/HostLog.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/NodeType.h>

namespace Morvek {

namespace {
const char* const source = "morvekBase/MFNode";
}

MFNode::MFNode(Node& owner, NodeType* restriction) : Field(owner), _restriction(restriction) {}

MFNode::~MFNode() { MFNode::clear(); }

bool MFNode::accepts(Node* node) const
{
    if (_restriction && !_restriction->isType(node)) {
        MORVEK_HOST_LOG(
            osg::LOG_WARNING, source, "Field %s accepts %s nodes, not %s; node not added\n",
            getDisplayName().c_str(), _restriction->getName(), node->getDisplayName().c_str());
        return false;
    }
    const char* constraint = getDesc() ? getDesc()->getConstraint() : nullptr;
    if (constraint && node->_type && !node->_type->isDerivedFrom(constraint)) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Field %s accepts %s nodes, not %s; node not added\n",
                        getDisplayName().c_str(), constraint, node->getDisplayName().c_str());
        return false;
    }
    return true;
}

NodeLink* MFNode::addChild(Node* node)
{
    if (!node) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source, "Field %s: a null node cannot be added\n",
                        getDisplayName().c_str());
        return nullptr;
    }
    if (!accepts(node))
        return nullptr;
    // In the list before linking, so that the processors' hooks see the new child in place.
    NodeLink* link = new NodeLink(*this);
    _links.push_back(link);
    link->set(node);
    return link;
}

bool MFNode::removeChild(unsigned index)
{
    if (index >= _links.size())
        return false;
    NodeLink* link = _links[index];
    link->set(nullptr);
    // The hooks of the unlinking may have changed the list; find the link again.
    for (auto it = _links.begin(); it != _links.end(); ++it) {
        if (*it == link) {
            _links.erase(it);
            break;
        }
    }
    delete link;
    return true;
}

size_t MFNode::size() const { return _links.size(); }

void MFNode::clear()
{
    while (!_links.empty())
        removeChild(unsigned(_links.size() - 1));
}

Node* MFNode::getNode(unsigned index) const
{
    return index < _links.size() ? _links[index]->node() : nullptr;
}

NodeLink* MFNode::getLink(unsigned index) const
{
    return index < _links.size() ? _links[index] : nullptr;
}

int MFNode::findChild(const Node* node) const
{
    for (size_t i = 0; i < _links.size(); ++i)
        if (_links[i]->node() == node)
            return int(i);
    return -1;
}

bool MFNode::storeFromString(const char* text)
{
    if (!text)
        return false;
    std::string compact;
    for (const char* p = text; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ',')
            compact += *p;
    if (!compact.empty() && compact != "[]")
        return false;
    clear();
    return true;
}

std::string MFNode::getValueString() const
{
    std::string out = "[";
    for (NodeLink* link : _links)
        out += " " + (link->node() ? link->node()->getDisplayName() : std::string("NULL"));
    return out + (_links.empty() ? "]" : " ]");
}

void MFNode::collectLinks(std::vector<NodeLink*>& out)
{
    out.insert(out.end(), _links.begin(), _links.end());
}

} // namespace Morvek
