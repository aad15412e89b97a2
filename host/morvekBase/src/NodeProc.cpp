#include <morvekBase/NodeProc.h>

#include <morvekBase/Field.h>
#include <morvekBase/HostLog.h>
#include <morvekBase/MFNode.h>
#include <morvekBase/MFString.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/Runtime.h>
#include <morvekBase/SFBool.h>
#include <morvekBase/SFColor.h>
#include <morvekBase/SFFloat.h>
#include <morvekBase/SFInt32.h>
#include <morvekBase/SFNode.h>
#include <morvekBase/SFString.h>
#include <morvekBase/SFVec3f.h>

#include <cstring>

namespace Morvek {

namespace {

const char* const source = "morvekBase/NodeProc";

std::unique_ptr<Field> makeField(Node& node, NodePartDataType dataType)
{
    switch (dataType) {
    case DataSFBool:
        return std::make_unique<SFBool>(node, false);
    case DataSFInt32:
        return std::make_unique<SFInt32>(node);
    case DataSFFloat:
        return std::make_unique<SFFloat>(node, 0.f);
    case DataSFColor:
        return std::make_unique<SFColor>(node, osg::Color3f(0.f, 0.f, 0.f));
    case DataSFVec3f:
        return std::make_unique<SFVec3f>(node, osg::Vec3f(0.f, 0.f, 0.f));
    case DataSFString:
        return std::make_unique<SFString>(node, std::string());
    case DataMFString:
        return std::make_unique<MFString>(node);
    case DataSFNode:
        return std::make_unique<SFNode>(node, nullptr);
    case DataMFNode:
        return std::make_unique<MFNode>(node, nullptr);
    default:
        return nullptr;
    }
}

} // namespace

// A field added to the node at run time; the row lives here, next to the field bound to it.
struct NodeProc::DynamicField {
    explicit DynamicField(const NodePartDesc& r) : row(r) {}
    NodePartDesc row;
    std::unique_ptr<Field> field;
};

NodeProc::NodeProc(NodeType& type, Node& node) : _type(&type), _node(&node) {}

NodeProc::NodeProc(const NodeProc& other)
    : AttachmentBag(other), _type(other._type), _node(other._node),
      _childNameSpace(other._childNameSpace)
{
}

NodeProc& NodeProc::operator=(const NodeProc& other)
{
    AttachmentBag::operator=(other);
    _childNameSpace = other._childNameSpace;
    return *this;
}

NodeProc::~NodeProc()
{
    // Dynamic fields go first, last added first, while the node still exists.
    while (!_dynamicFields.empty())
        _dynamicFields.pop_back();
}

void NodeProc::shutdown() {}
void NodeProc::setup() {}
void NodeProc::initialize(const double&) {}
void NodeProc::attach(const double&) {}
void NodeProc::detach(const double&) {}
void NodeProc::shutdown(const double&) {}
void NodeProc::dispose() {}
void NodeProc::childChanged(const double&, Node&, const FieldMask&) {}
void NodeProc::nodeChanged(const double&, const BitVector<unsigned long long>&) {}
void NodeProc::childAdded(const double&, Field&, Node&) {}
void NodeProc::childRemoved(const double&, Field&, Node&) {}
void NodeProc::parentAdded(const double&, Node&) {}
void NodeProc::parentRemoved(const double&, Node&) {}
void NodeProc::fieldAdded(const double&, Field&) {}
void NodeProc::fieldRemoved(const double&, Field&) {}
void NodeProc::routeAdded(const double&, Field&, Field&) {}
void NodeProc::routeRemoved(const double&, Field&, Field&) {}

Field* NodeProc::addNodePart(const NodePartDesc& row)
{
    const char* name = row.getName();
    if (!name || !*name || findField(name)) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Node %s: a field named \"%s\" exists already or the name is empty; "
                        "no field added\n",
                        _node->getDisplayName().c_str(), name ? name : "");
        return nullptr;
    }
    auto entry = std::make_unique<DynamicField>(row);
    entry->field = makeField(*_node, row.getDataType());
    if (!entry->field) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Node %s: no field class for data type %u of \"%s\"; no field added\n",
                        _node->getDisplayName().c_str(), unsigned(row.getDataType()), name);
        return nullptr;
    }
    Field* field = entry->field.get();
    field->_desc = &entry->row;
    if (row.getDefault() && !field->storeDefault(entry->row)) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Field %s: default \"%s\" is not a valid %s; keeping the placeholder\n",
                        field->getDisplayName().c_str(), row.getDefault(), field->getClassName());
    }
    _dynamicFields.push_back(std::move(entry));
    fieldAdded(Runtime::instance().getTime(), *field);
    return field;
}

Field* NodeProc::addNodePart(const char* name, NodePartDataType dataType, NodePartType partType)
{
    // A dynamic field without row index has no mask bit of its own (NodePart::_nullMask).
    const NodePartDesc row(~0u, NodePart::_nullMask, partType, dataType, 0, name, nullptr, nullptr,
                           nullptr, nullptr, 0);
    return addNodePart(row);
}

bool NodeProc::removeNodePart(const char* name)
{
    if (!name)
        return false;
    for (auto it = _dynamicFields.begin(); it != _dynamicFields.end(); ++it) {
        if (std::strcmp((*it)->field->getName(), name) != 0)
            continue;
        fieldRemoved(Runtime::instance().getTime(), *(*it)->field);
        _dynamicFields.erase(it);
        return true;
    }
    return false;
}

Field* NodeProc::findField(const char* name)
{
    if (!name)
        return nullptr;
    for (auto& entry : _dynamicFields)
        if (std::strcmp(entry->field->getName(), name) == 0)
            return entry->field.get();
    return _node->findField(name, SearchDerivedFirst);
}

unsigned NodeProc::mergeNode(Node& other)
{
    if (&other == _node)
        return 0;
    unsigned copied = 0;
    for (Field* from : other.getFields()) {
        Field* to = findField(from->getName());
        if (!to || to->getDataType() != from->getDataType())
            continue;
        if (auto* single = dynamic_cast<SFNode*>(from)) {
            if (static_cast<SFNode*>(to)->storeNode(single->getNode()))
                ++copied;
        } else if (auto* multi = dynamic_cast<MFNode*>(from)) {
            auto* target = static_cast<MFNode*>(to);
            target->clear();
            for (unsigned i = 0; i < multi->size(); ++i)
                target->addChild(multi->getNode(i));
            ++copied;
        } else if (to->storeFromString(from->getValueString().c_str())) {
            ++copied;
        }
    }
    return copied;
}

NodeNameSpace* NodeProc::nameSpace() { return &_node->getNameSpace(); }

NodeNameSpace* NodeProc::childNameSpace() { return _childNameSpace; }

void NodeProc::setChildNameSpace(NodeNameSpace* nameSpace) { _childNameSpace = nameSpace; }

void NodeProc::queueFieldChange(Field& field, const double&)
{
    const FieldMask mask = field.getMask();
    if (mask.any())
        Runtime::instance().queueChange(*_node, mask);
}

} // namespace Morvek
