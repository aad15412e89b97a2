#pragma once

#include <morvekBase/BitVector.h>
#include <morvekBase/NodePart.h>

#include <string>

namespace Morvek {

// One descriptor row: everything the type system knows about one field of a node type.
// The row copies its texts, so it never points into the caller's storage. Absent texts
// (null pointers at construction) are reported as null by the getters.
class NodePartDesc {
public:
    // index:        field index, unique along a class chain; the mask normally has bit `index`
    // mask:         the field's change mask
    // partType:     how the field is reached (NodePartType bits)
    // dataType:     the field's value class (NodePartDataType number)
    // flags:        NodePartFlag bits, stored only
    // name:         field name
    // unused:       stored and returned by getUnused(), no meaning to the host
    // defaultValue: initial value as X3D classic-encoding text ("TRUE", "0 0 -1"), or null
    // constraint:   "[lo,hi]" range of a numeric field, accepted node type name of a node
    //               field, or null
    // description:  documentation text
    // zero:         reserved, stored only (always 0 so far)
    NodePartDesc(unsigned int index, BitVector<unsigned long long> mask, NodePartType partType,
                 NodePartDataType dataType, unsigned int flags, const char* name,
                 const char* unused, const char* defaultValue, const char* constraint,
                 const char* description, unsigned int zero);
    // Copy of `other`. When `collectedIndices` is not null, the row's index bit is set in it
    // (indices 0 to 31), so that a table builder can gather the indices it declared.
    NodePartDesc(const NodePartDesc& other, BitVector<unsigned int>* collectedIndices);
    NodePartDesc(const NodePartDesc& other);
    NodePartDesc& operator=(const NodePartDesc& other);
    ~NodePartDesc();

    unsigned int getIndex() const { return _index; }
    BitVector<unsigned long long> getMask() const { return _mask; }
    NodePartType getPartType() const { return _partType; }
    NodePartDataType getDataType() const { return _dataType; }
    unsigned int getFlags() const { return _flags; }
    const char* getName() const;
    const char* getUnused() const;
    const char* getDefault() const;
    const char* getConstraint() const;
    const char* getDescription() const;
    unsigned int getZero() const { return _zero; }

    // "[lo,hi]" constraint of a numeric field parsed into bounds; false when the row has no
    // such range (no constraint, or a node type name).
    bool getRange(double& lo, double& hi) const;

    // The default text read once, when the row is made, for the field classes whose values
    // are plain numbers: every new node then copies the values instead of parsing the text
    // again. Null when the row's data type is another one or its default does not read as
    // that type (the field then parses the text itself and reports it).
    // SFFloat: 1 float; SFColor, SFVec3f: 3 floats.
    const float* getParsedDefaultFloats() const
    {
        return _parsedDefault ? _defaultFloats : nullptr;
    }
    const int* getParsedDefaultInt32() const { return _parsedDefault ? &_defaultInt32 : nullptr; }
    const bool* getParsedDefaultBool() const { return _parsedDefault ? &_defaultBool : nullptr; }

private:
    void parseTexts();
    static bool readRange(bool present, const std::string& text, double& lo, double& hi);

    // A text that may be absent.
    struct Text {
        Text(const char* text) : present(text != nullptr), value(text ? text : "") {}
        const char* get() const { return present ? value.c_str() : nullptr; }
        bool present;
        std::string value;
    };

    unsigned int _index;
    BitVector<unsigned long long> _mask;
    NodePartType _partType;
    NodePartDataType _dataType;
    unsigned int _flags;
    Text _name;
    Text _unused;
    Text _default;
    Text _constraint;
    Text _description;
    unsigned int _zero;
    // Read from the texts by parseTexts().
    bool _hasRange = false;
    double _lo = 0;
    double _hi = 0;
    bool _parsedDefault = false;
    float _defaultFloats[3] = {0.f, 0.f, 0.f};
    int _defaultInt32 = 0;
    bool _defaultBool = false;
};

} // namespace Morvek
