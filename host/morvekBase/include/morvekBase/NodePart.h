#pragma once

#include <morvekBase/BaseObject.h>
#include <morvekBase/BitVector.h>

namespace Morvek {

// How a part of a node can be reached, as flag bits: a field that holds a value (1), that
// receives events (2), that sends events (4). An exposed (input-output) field has all three.
enum NodePartType : unsigned {
    PartNone = 0,
    PartField = 1,
    PartEventIn = 2,
    PartEventOut = 4,
    PartExposedField = PartField | PartEventIn | PartEventOut, // 7
};

// The value class of a field. The numbers follow the X3D field types in alphabetical order,
// single before multiple, starting at 1.
enum NodePartDataType : unsigned {
    DataUnknown = 0,
    DataSFBool = 1,
    DataMFBool = 2,
    DataSFColor = 3,
    DataMFColor = 4,
    DataSFColorRGBA = 5,
    DataMFColorRGBA = 6,
    DataSFDouble = 7,
    DataMFDouble = 8,
    DataSFFloat = 9,
    DataMFFloat = 10,
    DataSFImage = 11,
    DataMFImage = 12,
    DataSFInt32 = 13,
    DataMFInt32 = 14,
    DataSFMatrix3d = 15,
    DataMFMatrix3d = 16,
    DataSFMatrix3f = 17,
    DataMFMatrix3f = 18,
    DataSFMatrix4d = 19,
    DataMFMatrix4d = 20,
    DataSFMatrix4f = 21,
    DataMFMatrix4f = 22,
    DataSFNode = 23,
    DataMFNode = 24,
    DataSFRotation = 25,
    DataMFRotation = 26,
    DataSFString = 27,
    DataMFString = 28,
    DataSFTime = 29,
    DataMFTime = 30,
    DataSFVec2d = 31,
    DataMFVec2d = 32,
    DataSFVec2f = 33,
    DataMFVec2f = 34,
    DataSFVec3d = 35,
    DataMFVec3d = 36,
    DataSFVec3f = 37,
};

// Flag bits of a descriptor row. The host stores and reports them; it attaches no behaviour
// to them.
enum NodePartFlag : unsigned {
    PartFlagPersistent = 1, // written when a scene is saved
    PartFlagGenerated = 2,  // the node fills the value itself
    PartFlagExpert = 4,     // for multi-pass and other expert set-ups
    PartFlagExtension = 8,  // beyond the standard the node type follows
};

// Common base of the parts of a node (its fields).
class NodePart : public BaseObject {
public:
    // The mask of a field bound to no descriptor row: 0. Such a field has no bit of its own, so
    // changes of it are never guarded against re-entry and never show in an update mask.
    static constexpr FieldMask _nullMask = FieldMask(0ull);
};

} // namespace Morvek
