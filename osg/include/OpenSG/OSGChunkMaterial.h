#pragma once

#include <OpenSG/OSGChunkMaterialBase.h>

OSG_BEGIN_NAMESPACE

// A material made of state chunks. Each addChunk references the chunk (adding the same chunk
// twice counts twice); the destructor releases them all.
class ChunkMaterial : public ChunkMaterialBase {
public:
    // Appends the chunk (no null or duplicate check) and references it. Only a slot other
    // than State::AutoSlotReplace is stored, the slot list being padded with
    // AutoSlotReplace up to the chunk's position. Always true.
    bool addChunk(const StateChunkPtr& chunk, Int32 slot = State::AutoSlotReplace);
    // Removes the first entry of the chunk whose slot matches (any slot with
    // AutoSlotReplace) and releases it. Returns FALSE on success, true (and a warning)
    // when no such entry exists.
    bool subChunk(const StateChunkPtr& chunk, Int32 slot = State::AutoSlotReplace);
    // Index of the chunk, -1 when absent.
    Int32 find(const StateChunkPtr& chunk) const;
    // Releases and removes every chunk.
    void clearChunks();

    // Chunks into the State in list order, each at its requested slot; nothing to do when
    // neither list changed since the last build.
    void rebuildState() override;
    FieldContainerPtr shallowCopy() const override;

protected:
    friend class ChunkMaterialBase;
    ChunkMaterial() = default;
    ChunkMaterial(const ChunkMaterial& source) = default;
    ~ChunkMaterial() override;

    // Transparent when a chunk says so.
    bool isTransparentByContent() const override;

private:
    static FieldContainerPtr createPrototype();
};

OSG_END_NAMESPACE
