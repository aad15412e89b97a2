#include "HostTestNodes.h"

#include <morvekBase/NodePartDesc.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekCoreNodePool/UnboundedNodeProc.h>

#include <cstdio>

namespace Morvek {

namespace {

NodePartDesc testDesc[] = {
    NodePartDesc(HostTestNode::flagIndex, FieldMask::bit(HostTestNode::flagIndex),
                 PartExposedField, DataSFBool, 1, "flag", nullptr, "TRUE", nullptr, "a flag", 0),
    NodePartDesc(HostTestNode::countIndex, FieldMask::bit(HostTestNode::countIndex),
                 PartExposedField, DataSFInt32, 1, "count", nullptr, "7", "[0,100]", "a count", 0),
    NodePartDesc(HostTestNode::levelIndex, FieldMask::bit(HostTestNode::levelIndex),
                 PartExposedField, DataSFFloat, 1, "level", nullptr, "0.25", "[0,1]", "a level",
                 0),
    NodePartDesc(HostTestNode::tintIndex, FieldMask::bit(HostTestNode::tintIndex),
                 PartExposedField, DataSFColor, 1, "tint", nullptr, "1 0.5 0", nullptr, "a tint",
                 0),
    NodePartDesc(HostTestNode::offsetIndex, FieldMask::bit(HostTestNode::offsetIndex),
                 PartExposedField, DataSFVec3f, 1, "offset", nullptr, "0 0 -1", nullptr,
                 "an offset", 0),
    NodePartDesc(HostTestNode::textureIndex, FieldMask::bit(HostTestNode::textureIndex),
                 PartExposedField, DataSFNode, 1, "texture", nullptr, nullptr, "Texture",
                 "a texture", 0),
    NodePartDesc(HostTestNode::itemsIndex, FieldMask::bit(HostTestNode::itemsIndex),
                 PartExposedField, DataMFNode, 1, "items", nullptr, nullptr, nullptr, "items", 0),
    NodePartDesc(HostTestNode::namesIndex, FieldMask::bit(HostTestNode::namesIndex),
                 PartExposedField, DataMFString, 1, "names", nullptr, "\"a\" \"b\"", nullptr,
                 "names", 0),
};

std::string hex(const FieldMask& mask)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", mask.value());
    return buffer;
}

} // namespace

NodeType HostTestNode::_type(theSceneNodeTypeFactory(), "HostTestNode", "HostTests",
                            "VisualEffector", nullptr, nullptr, "Testing", nullptr, "beta",
                            "A node for host tests.", "Morvek", false, false,
                            &HostTestNode::isType, &HostTestNode::createNode,
                            &HostTestNode::createProc, testDesc,
                            sizeof(testDesc) / sizeof(testDesc[0]));

NodeType& HostTestNode::classType()
{
    return _type;
}

bool HostTestNode::isType(Node* node)
{
    return dynamic_cast<HostTestNode*>(node) != nullptr;
}

HostTestNode* HostTestNode::create(const char* name)
{
    return dynamic_cast<HostTestNode*>(classType().createNode(nullptr, name, CreatorProgram));
}

Node* HostTestNode::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new HostTestNode(type, nameSpace, name);
}

NodeProc* HostTestNode::createProc(NodeType& type, Node& node)
{
    return new RecordingProc(type, node);
}

HostTestNode::HostTestNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : VisualEffector(type, nameSpace, name), _flag(*this, false), _count(*this),
      _level(*this, 0.f), _tint(*this, osg::Color3f(0, 0, 0)), _offset(*this, osg::Vec3f(0, 0, 0)),
      _texture(*this, nullptr), _items(*this, nullptr), _names(*this)
{
    NodeType& own = _type;
    regField(_flag, own, flagIndex, true);
    regField(_count, own, countIndex, true);
    regField(_level, own, levelIndex, true);
    regField(_tint, own, tintIndex, true);
    regField(_offset, own, offsetIndex, true);
    regField(_texture, own, textureIndex, true);
    regField(_items, own, itemsIndex, true);
    regField(_names, own, namesIndex, true);
}

HostTestNode::~HostTestNode()
{
    for (unsigned index = flagIndex; index <= namesIndex; ++index)
        unregField(index);
}

RecordingProc* HostTestNode::getRecordingProc() const
{
    return dynamic_cast<RecordingProc*>(_proc);
}

void HostTestNode::fieldChanged(Field& field, const double& time, Field* source)
{
    if (auto* proc = dynamic_cast<UnboundedNodeProc*>(_proc))
        proc->fieldChanged(*this, field, time, source);
}

RecordingProc::RecordingProc(NodeType& type, Node& node) : VisualEffectorProc(type, node) {}

std::vector<std::string>& RecordingProc::journal()
{
    static std::vector<std::string> calls;
    return calls;
}

void RecordingProc::record(const std::string& call)
{
    calls.push_back(call);
    journal().push_back(getNode()._name + ":" + call);
}

void RecordingProc::setup() { record("setup"); }
void RecordingProc::initialize(const double&) { record("initialize"); }

void RecordingProc::attach(const double& time)
{
    record("attach");
    VisualEffectorProc::attach(time);
}

void RecordingProc::detach(const double& time)
{
    record("detach");
    VisualEffectorProc::detach(time);
}

void RecordingProc::shutdown(const double&) { record("shutdown"); }
void RecordingProc::dispose() { record("dispose"); }

void RecordingProc::nodeChanged(const double& time, const BitVector<unsigned long long>& mask)
{
    record("nodeChanged " + hex(mask) + " status=" + std::to_string(getNode()._status));
    masks.push_back(mask);
    times.push_back(time);
    VisualEffectorProc::nodeChanged(time, mask);
    if (onNodeChanged)
        onNodeChanged(mask);
}

void RecordingProc::childAdded(const double& time, Field& field, Node& child)
{
    record(std::string("childAdded ") + field.getName() + " " + child._name);
    VisualEffectorProc::childAdded(time, field, child);
}

void RecordingProc::childRemoved(const double& time, Field& field, Node& child)
{
    record(std::string("childRemoved ") + field.getName() + " " + child._name);
    VisualEffectorProc::childRemoved(time, field, child);
}

void RecordingProc::parentAdded(const double&, Node& parent)
{
    record("parentAdded " + parent._name);
}

void RecordingProc::parentRemoved(const double&, Node& parent)
{
    record("parentRemoved " + parent._name);
}

void RecordingProc::childChanged(const double&, Node& child, const FieldMask& mask)
{
    record("childChanged " + child._name + " " + hex(mask));
}

} // namespace Morvek
