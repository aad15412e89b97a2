#pragma once

// Node types that exist only in the host tests: a visual effector with one field of every
// field class, and a processor that records what the host calls on it.

#include <morvekBase/MFNode.h>
#include <morvekBase/MFString.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/SFColor.h>
#include <morvekBase/SFFloat.h>
#include <morvekBase/SFInt32.h>
#include <morvekBase/SFNode.h>
#include <morvekBase/SFVec3f.h>
#include <morvekCoreNodePool/VisualEffector.h>
#include <morvekCoreNodePool/VisualEffectorProc.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Morvek {

class NodeTypeNameSpace;
class RecordingProc;

// A row for an exposed field at `index`, with bit `index` as its mask.
NodePartDesc testRow(unsigned index, NodePartDataType type, const char* name,
                     const char* defaultValue = nullptr, const char* constraint = nullptr);
// A type record without factories, registered in `ns` while it lives.
std::unique_ptr<NodeType> makeTestType(NodeTypeNameSpace& ns, const char* name, const char* pool,
                                       const char* parent = nullptr, NodePartDesc* rows = nullptr,
                                       unsigned count = 0);

// Type "HostTestNode" (parent "VisualEffector") with fields from index 3:
//   3 flag (SFBool, "TRUE"), 4 count (SFInt32, "7", range [0,100]), 5 level (SFFloat, "0.25",
//   range [0,1]), 6 tint (SFColor, "1 0.5 0"), 7 offset (SFVec3f, "0 0 -1"),
//   8 texture (SFNode accepting "Texture"), 9 items (MFNode), 10 names (MFString, "\"a\" \"b\"").
class HostTestNode : public VisualEffector {
public:
    static constexpr unsigned flagIndex = 3;
    static constexpr unsigned countIndex = 4;
    static constexpr unsigned levelIndex = 5;
    static constexpr unsigned tintIndex = 6;
    static constexpr unsigned offsetIndex = 7;
    static constexpr unsigned textureIndex = 8;
    static constexpr unsigned itemsIndex = 9;
    static constexpr unsigned namesIndex = 10;

    static NodeType& classType();
    static HostTestNode* create(const char* name = nullptr);

    SFBool& flag() { return _flag; }
    SFInt32& count() { return _count; }
    SFFloat& level() { return _level; }
    SFColor& tint() { return _tint; }
    SFVec3f& offset() { return _offset; }
    SFNode& texture() { return _texture; }
    MFNode& items() { return _items; }
    MFString& names() { return _names; }
    RecordingProc* getRecordingProc() const;

    // Fields changed through here reach the processor the way a pool's node does it.
    void fieldChanged(Field& field, const double& time, Field* source) override;

protected:
    HostTestNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~HostTestNode() override;

private:
    SFBool _flag;
    SFInt32 _count;
    SFFloat _level;
    SFColor _tint;
    SFVec3f _offset;
    SFNode _texture;
    MFNode _items;
    MFString _names;

    static NodeType _type;
};

// Records every host call in journal() as "<node name>:<call>" ("n:initialize", "n:attach",
// "n:nodeChanged 0x1c status=1", ...), in order; onNodeChanged lets a test change fields from
// inside a call.
class RecordingProc : public VisualEffectorProc {
public:
    RecordingProc(NodeType& type, Node& node) : VisualEffectorProc(type, node) {}

    void setup() override { record("setup"); }
    void initialize(const double&) override { record("initialize"); }
    void attach(const double& time) override;
    void detach(const double& time) override;
    void shutdown(const double&) override { record("shutdown"); }
    void dispose() override { record("dispose"); }
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;
    void childRemoved(const double& time, Field& field, Node& child) override;
    void parentAdded(const double&, Node& parent) override
    {
        record("parentAdded " + parent._name);
    }
    void parentRemoved(const double&, Node& parent) override
    {
        record("parentRemoved " + parent._name);
    }
    void childChanged(const double& time, Node& child, const FieldMask& mask) override;

    std::vector<FieldMask> masks; // one per nodeChanged
    std::vector<double> times;    // one per nodeChanged
    std::function<void(const FieldMask&)> onNodeChanged;
    // The calls of every RecordingProc, kept across their destruction.
    static std::vector<std::string>& journal();

private:
    void record(const std::string& call);
};

} // namespace Morvek
