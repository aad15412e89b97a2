#include <morvekBase/Node.h>

#include <morvekBase/Field.h>
#include <morvekBase/HostLog.h>
#include <morvekBase/MFNode.h>
#include <morvekBase/NodeLink.h>
#include <morvekBase/NodeNameSpace.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/NodeProc.h>
#include <morvekBase/Runtime.h>
#include <morvekBase/SFNode.h>
#include <morvekBase/TypeCast.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace Morvek {

namespace {
const char* const source = "morvekBase/Node";
unsigned int nextNodeId = 1;
constexpr std::size_t reservedFields = 16;
} // namespace

Node::Node(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : _type(&type), _name(name ? name : ""), _id(nextNodeId++), _nameSpace(&nameSpace),
      // Room for the fields of every type in the pools (at most 14 so far), so that the field
      // constructors and registrations do not regrow the lists one by one. The registry
      // starts with empty slots; every reader skips them.
      _fields(reservedFields, nullptr)
{
    _fieldObjects.reserve(reservedFields);
    nameSpace.add(*this);
}

Node::~Node()
{
    // Normally shutdown() ran when the last reference went. A node deleted some other way
    // still lets go of its processor and leaves the update queue.
    Runtime::instance().forget(*this);
    if (_proc) {
        NodeProc* proc = _proc;
        _proc = nullptr;
        proc->subRef();
    }
    _nameSpace->remove(*this);
}

void Node::shutdown()
{
    const double time = Runtime::instance().getTime();
    if (_isRoot)
        dropLiveRoot(time);
    Runtime::instance().forget(*this);
    // Children first, while the processor can still take their OpenSG nodes out of its own.
    unlinkAllChildren();
    if (NodeProc* proc = _proc) {
        proc->shutdown(time);
        proc->dispose();
        _proc = nullptr;
        proc->subRef();
    }
}

void Node::fieldChanged(Field& field, const double& time, Field* /*source*/)
{
    if (_proc)
        _proc->queueFieldChange(field, time);
}

void Node::regField(Field& field, NodeType& declaringType, unsigned index, bool setDefault)
{
    if (field._owner != this) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Node %s: field of node %s cannot be registered here\n",
                        getDisplayName().c_str(), field._owner->getDisplayName().c_str());
        return;
    }
    const NodePartDesc* row = declaringType.findDesc(index);
    if (!row) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Node %s: type %s has no field row with index %u; field not registered\n",
                        getDisplayName().c_str(), declaringType.getName(), index);
        return;
    }
    if (Field* taken = getField(index)) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Node %s: field index %u is already registered (%s); %s not registered\n",
                        getDisplayName().c_str(), index, taken->getName(),
                        row->getName() ? row->getName() : "");
        return;
    }
    if (row->getDataType() != field.getDataType()) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Node %s: row %u (%s) of type %s has data type %u, the field object is "
                        "a %s; not registered\n",
                        getDisplayName().c_str(), index, row->getName() ? row->getName() : "",
                        declaringType.getName(), unsigned(row->getDataType()),
                        field.getClassName());
        return;
    }
    if (field._desc) {
        // One field object, one row: the registry relies on it when fields go away.
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Node %s: field %s is already registered; not registered again as %s\n",
                        getDisplayName().c_str(), field.getName(),
                        row->getName() ? row->getName() : "");
        return;
    }
    field._desc = row;
    if (index >= _fields.size())
        _fields.resize(size_t(index) + 1, nullptr);
    _fields[index] = &field;
    if (setDefault && row->getDefault() && !field.storeDefault(*row)) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Field %s: default \"%s\" is not a valid %s; keeping the placeholder\n",
                        field.getDisplayName().c_str(), row->getDefault(), field.getClassName());
    }
    if (_proc)
        _proc->fieldAdded(Runtime::instance().getTime(), field);
}

void Node::unregField(unsigned index)
{
    Field* field = getField(index);
    if (!field)
        return;
    if (_proc)
        _proc->fieldRemoved(Runtime::instance().getTime(), *field);
    field->_desc = nullptr;
    // fieldRemoved() may have touched the registry; the slot is emptied whatever it holds now.
    if (index < _fields.size())
        _fields[index] = nullptr;
}

Field* Node::findField(const char* name, FieldSearchOrder order) const
{
    if (!name)
        return nullptr;
    if (order == SearchDerivedFirst) {
        for (auto it = _fields.rbegin(); it != _fields.rend(); ++it)
            if (*it && std::strcmp((*it)->getName(), name) == 0)
                return *it;
    } else {
        for (Field* field : _fields)
            if (field && std::strcmp(field->getName(), name) == 0)
                return field;
    }
    return nullptr;
}

Field* Node::getField(unsigned index) const
{
    return index < _fields.size() ? _fields[index] : nullptr;
}

std::vector<Field*> Node::getFields() const
{
    std::vector<Field*> out;
    out.reserve(_fields.size());
    for (Field* field : _fields)
        if (field)
            out.push_back(field);
    return out;
}

FieldMask Node::getRegisteredMask() const
{
    FieldMask mask;
    for (Field* field : _fields)
        if (field)
            mask |= field->getMask();
    return mask;
}

std::string Node::getIDStr() const { return "#" + std::to_string(_id); }

const char* Node::getTypeName() const { return _type ? _type->getName() : ""; }

std::string Node::getDisplayName() const
{
    return std::string(getTypeName()) + "/" + (_name.empty() ? getIDStr() : _name);
}

unsigned Node::collectNonProtoParents(Node* node, std::vector<Node*>& out)
{
    if (!node)
        return 0;
    unsigned added = 0;
    const size_t start = out.size();
    for (Node* parent : node->_parents) {
        if (parent->_isProto)
            continue;
        if (std::find(out.begin() + std::ptrdiff_t(start), out.end(), parent) != out.end())
            continue;
        out.push_back(parent);
        ++added;
    }
    return added;
}

void Node::setProc(NodeProc* proc)
{
    if (proc == _proc)
        return;
    if (proc)
        proc->addRef();
    NodeProc* old = _proc;
    _proc = proc;
    if (old)
        old->subRef();
}

bool Node::makeLiveRoot(const double& time)
{
    if (isLive())
        return false;
    _isRoot = true;
    enterLive(*this, time);
    return true;
}

void Node::dropLiveRoot(const double& time)
{
    if (!_isRoot)
        return;
    _isRoot = false;
    leaveLive(time);
}

void Node::addFieldObject(Field& field) { _fieldObjects.push_back(&field); }

void Node::removeFieldObject(Field& field)
{
    // Field members die in the reverse order of their making, so the one leaving is nearly
    // always the last in the list: search from the back.
    const auto it = std::find(_fieldObjects.rbegin(), _fieldObjects.rend(), &field);
    if (it != _fieldObjects.rend())
        _fieldObjects.erase(std::next(it).base());
    // Only a registered field (one with a row) can sit in the registry.
    if (field._desc)
        for (Field*& slot : _fields)
            if (slot == &field)
                slot = nullptr;
}

std::vector<NodeLink*> Node::collectLinks() const
{
    std::vector<NodeLink*> links;
    for (Field* field : _fieldObjects)
        field->collectLinks(links);
    return links;
}

void Node::unlinkAllChildren()
{
    // Only node fields link children (SFNode and MFNode keep their data type final); a node
    // has few of them, so they are gathered first. Field objects may come and go while
    // children are released (a dying child's processor can touch its parents), so each is
    // checked to be still there before it is used.
    FieldList nodeFields;
    for (Field* field : _fieldObjects) {
        const NodePartDataType dataType = field->getDataType();
        if (dataType == DataSFNode || dataType == DataMFNode)
            nodeFields.push_back(field);
    }
    for (Field* field : nodeFields) {
        if (std::find(_fieldObjects.begin(), _fieldObjects.end(), field) == _fieldObjects.end())
            continue;
        if (auto* single = typeCast<SFNode>(field))
            single->storeNode(nullptr);
        else if (auto* multi = typeCast<MFNode>(field))
            multi->clear();
    }
}

bool Node::enterLive(Node& root, const double& time)
{
    if (_liveCount > 0) {
        if (_liveRoot != &root) {
            MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                            "Node %s is already part of scene %s; it does not join %s\n",
                            getDisplayName().c_str(), _liveRoot->getDisplayName().c_str(),
                            root.getDisplayName().c_str());
            return false;
        }
        ++_liveCount;
        return true;
    }
    _liveCount = 1;
    _liveRoot = &root;
    // Host choice: a node that comes back into a scene is reported in full once more.
    if (_wasLive) {
        _status |= statusReattached;
        Runtime::instance().queueChange(*this, getRegisteredMask());
    }
    if (_proc)
        _proc->attach(time);
    // Parent first, then what it links.
    for (NodeLink* link : collectLinks())
        link->enterLive(root, time);
    return true;
}

void Node::leaveLive(const double& time)
{
    if (_liveCount == 0 || --_liveCount > 0)
        return;
    // What the node links leaves first, then the node detaches.
    for (NodeLink* link : collectLinks())
        link->leaveLive(time);
    if (_proc)
        _proc->detach(time);
    _liveRoot = nullptr;
    _wasLive = true;
}

} // namespace Morvek
