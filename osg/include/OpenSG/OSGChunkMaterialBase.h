#pragma once

#include <OpenSG/OSGChunkMaterialFields.h>
#include <OpenSG/OSGMFSysTypes.h>
#include <OpenSG/OSGMaterial.h>
#include <OpenSG/OSGStateChunkFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of ChunkMaterial: the chunks and, parallel to them, their slot requests.
class ChunkMaterialBase : public Material {
    typedef Material Inherited;

public:
    static constexpr UInt32 ChunksFieldId = Inherited::NextFieldId;
    static constexpr BitVector ChunksFieldMask = maskOf(ChunksFieldId);
    static constexpr UInt32 SlotsFieldId = ChunksFieldId + 1;
    static constexpr BitVector SlotsFieldMask = maskOf(SlotsFieldId);
    static constexpr UInt32 NextFieldId = SlotsFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // A new, empty chunk material (count 0), or NullFC before osgInit.
    static ChunkMaterialPtr create();

    // Read access; change them through ChunkMaterial::addChunk/subChunk, which count.
    const MFStateChunkPtr& getChunks() const { return _chunks; }
    // Slot request per chunk; shorter than the chunk list when the tail uses
    // State::AutoSlotReplace.
    const MFInt32& getSlots() const { return _slots; }

protected:
    ChunkMaterialBase() = default;
    // Chunks are not copied: a copy would not reference them.
    ChunkMaterialBase(const ChunkMaterialBase& source);
    ~ChunkMaterialBase() override = default;

    // Both mark the lists edited, for ChunkMaterial::rebuildState.
    MFStateChunkPtr& editChunks()
    {
        _listsEdited = true;
        return _chunks;
    }
    MFInt32& editSlots()
    {
        _listsEdited = true;
        return _slots;
    }

    // True from creation and after any edit of the chunk or slot list, until the State has
    // taken the lists in.
    bool _listsEdited = true;

private:
    static FieldContainerType _type;

    MFStateChunkPtr _chunks;
    MFInt32 _slots;
};

OSG_END_NAMESPACE
