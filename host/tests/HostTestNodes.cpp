#include "HostTestNodes.h"

#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekCoreNodePool/UnboundedNodeProc.h>

#include <cstdio>

namespace Morvek {

NodePartDesc testRow(unsigned index, NodePartDataType type, const char* name,
                     const char* defaultValue, const char* constraint)
{
    return NodePartDesc(index, FieldMask::bit(index), PartExposedField, type, 1, name, nullptr,
                        defaultValue, constraint, name, 0);
}

std::unique_ptr<NodeType> makeTestType(NodeTypeNameSpace& ns, const char* name, const char* pool,
                                       const char* parent, NodePartDesc* rows, unsigned count)
{
    return std::make_unique<NodeType>(ns, name, pool, parent, nullptr, nullptr, "Testing", nullptr,
                                      "stable", "test type", "Morvek", false, false, nullptr,
                                      nullptr, nullptr, rows, count);
}

namespace {

using T = HostTestNode;
NodePartDesc testDesc[] = {
    testRow(T::flagIndex, DataSFBool, "flag", "TRUE"),
    testRow(T::countIndex, DataSFInt32, "count", "7", "[0,100]"),
    testRow(T::levelIndex, DataSFFloat, "level", "0.25", "[0,1]"),
    testRow(T::tintIndex, DataSFColor, "tint", "1 0.5 0"),
    testRow(T::offsetIndex, DataSFVec3f, "offset", "0 0 -1"),
    testRow(T::textureIndex, DataSFNode, "texture", nullptr, "Texture"),
    testRow(T::itemsIndex, DataMFNode, "items"),
    testRow(T::namesIndex, DataMFString, "names", "\"a\" \"b\""),
};

std::string hex(const FieldMask& mask)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", mask.value());
    return buffer;
}

} // namespace

NodeType HostTestNode::_type(
    theSceneNodeTypeFactory(), "HostTestNode", "HostTests", "VisualEffector", nullptr, nullptr,
    "Testing", nullptr, "beta", "A node for host tests.", "Morvek", false, false,
    [](Node* node) { return dynamic_cast<HostTestNode*>(node) != nullptr; },
    [](NodeType& type, NodeNameSpace& nameSpace, const char* name) -> Node* {
        return new HostTestNode(type, nameSpace, name);
    },
    [](NodeType& type, Node& node) -> NodeProc* { return new RecordingProc(type, node); }, testDesc,
    sizeof(testDesc) / sizeof(testDesc[0]));

NodeType& HostTestNode::classType() { return _type; }

HostTestNode* HostTestNode::create(const char* name)
{
    return dynamic_cast<HostTestNode*>(classType().createNode(nullptr, name, CreatorProgram));
}

HostTestNode::HostTestNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : VisualEffector(type, nameSpace, name), _flag(*this, false), _count(*this), _level(*this, 0.f),
      _tint(*this, osg::Color3f(0, 0, 0)), _offset(*this, osg::Vec3f(0, 0, 0)),
      _texture(*this, nullptr), _items(*this, nullptr), _names(*this)
{
    Field* fields[] = {&_flag, &_count, &_level, &_tint, &_offset, &_texture, &_items, &_names};
    for (unsigned index = flagIndex; index <= namesIndex; ++index)
        regField(*fields[index - flagIndex], _type, index, true);
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

std::vector<std::string>& RecordingProc::journal()
{
    static std::vector<std::string> calls;
    return calls;
}

void RecordingProc::record(const std::string& call)
{
    journal().push_back(getNode()._name + ":" + call);
}

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

void RecordingProc::nodeChanged(const double& time, const BitVector<unsigned long long>& mask)
{
    record("nodeChanged " + hex(mask) + " status=" + std::to_string(getNode()._status));
    masks.push_back(mask);
    times.push_back(time);
    VisualEffectorProc::nodeChanged(time, mask);
    if (onNodeChanged)
        onNodeChanged(mask);
}

void RecordingProc::childRemoved(const double& time, Field& field, Node& child)
{
    record(std::string("childRemoved ") + field.getName() + " " + child._name);
    VisualEffectorProc::childRemoved(time, field, child);
}

void RecordingProc::childChanged(const double&, Node& child, const FieldMask& mask)
{
    record("childChanged " + child._name + " " + hex(mask));
}

} // namespace Morvek
