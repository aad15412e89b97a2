#pragma once

#include <OpenSG/OSGColor.h>
#include <OpenSG/OSGSmallObjectPool.h>
#include <OpenSG/OSGStateChunkFields.h>

#include <vector>

OSG_BEGIN_NAMESPACE

class StateChunkClass;

// What a material hands to rendering: chunks by class and slot, plus the lighting values of
// a SimpleMaterial. A State is rebuilt by its material; it borrows the chunks the material
// holds and takes no references of its own.
class State {
public:
    // Slot requests for addChunk: AutoSlot takes the first free slot of the chunk's class
    // (and fails with a warning when none is free); AutoSlotReplace does the same but then
    // overwrites the class's last slot. A number >= 0 is a slot within the class.
    enum : Int32 { AutoSlot = -1, AutoSlotReplace = -2 };

    // Colours as sent to GL: alpha = 1 - transparency in all four.
    struct MaterialValues {
        Color4f ambient;
        Color4f diffuse;
        Color4f specular;
        Color4f emission;
        Real32 shininess = 0.f;
        bool lit = true;
        UInt32 colorMaterial = 0;
        // Blending (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) is on.
        bool blend = false;
    };

    // False (and a warning) when the slot is out of range or no slot is free under AutoSlot.
    // A null chunk is ignored (false, no warning).
    bool addChunk(const StateChunkPtr& chunk, Int32 slot = AutoSlot);
    // Removes the chunk wherever it is; false when it was not there.
    bool subChunk(const StateChunkPtr& chunk);
    void clearChunks();
    // NullFC when the slot is empty or out of range.
    StateChunkPtr getChunk(UInt32 classId, UInt32 slot) const;
    // Number of filled slots.
    UInt32 getNumChunks() const;

    bool hasMaterialValues() const { return _hasMaterialValues; }
    const MaterialValues& getMaterialValues() const { return _materialValues; }
    void setMaterialValues(const MaterialValues& values);
    void clearMaterialValues();

    // Rebuilds done so far (for checks that a change reached the State).
    UInt32 getBuildCount() const { return _buildCount; }
    void countBuild() { ++_buildCount; }

private:
    // One filled slot. A material holds a chunk or two, so the filled slots are kept in one
    // short list, searched where needed, rather than in a table of every class's slots.
    struct Filled {
        UInt32 classId;
        UInt32 slot;
        StateChunkPtr chunk;
    };
    // The filled slot of a class, or null.
    Filled* find(UInt32 classId, UInt32 slot);
    // Fills the slot, or puts the chunk into it when it is filled already.
    void fill(UInt32 classId, UInt32 slot, const StateChunkPtr& chunk);

    std::vector<Filled, PoolAllocator<Filled>> _filled;
    MaterialValues _materialValues;
    bool _hasMaterialValues = false;
    UInt32 _buildCount = 0;
};

OSG_END_NAMESPACE
