#include <OpenSG/OSGChunkMaterial.h>

#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGStateChunk.h>

#include <vector>

OSG_BEGIN_NAMESPACE

FieldContainerPtr ChunkMaterial::createPrototype()
{
    return FieldContainerPtr(new ChunkMaterial());
}

FieldContainerPtr ChunkMaterial::shallowCopy() const
{
    return FieldContainerPtr(new ChunkMaterial(*this));
}

ChunkMaterial::~ChunkMaterial() { clearChunks(); }

bool ChunkMaterial::addChunk(const StateChunkPtr& chunk, Int32 slot)
{
    if (slot != State::AutoSlotReplace)
        while (getSlots().size() < getChunks().size())
            editSlots().push_back(State::AutoSlotReplace);
    editChunks().push_back(chunk);
    if (slot != State::AutoSlotReplace)
        editSlots().push_back(slot);
    addRefCP(chunk);
    return true;
}

bool ChunkMaterial::subChunk(const StateChunkPtr& chunk, Int32 slot)
{
    UInt32 i = 0;
    for (; i < getChunks().size(); ++i) {
        if (getChunks()[i] != chunk)
            continue;
        Int32 stored = i < getSlots().size() ? getSlots()[i] : Int32(State::AutoSlotReplace);
        if (slot == State::AutoSlotReplace || stored == slot)
            break;
    }
    if (i == getChunks().size()) {
        SWARNING << "ChunkMaterial::subChunk: material #" << getContainerId() << " has no chunk "
                 << chunk << " with slot " << slot << std::endl;
        return true;
    }
    // The State borrows the chunk; drop it there before it may be freed.
    editState().subChunk(chunk);
    editChunks().erase(editChunks().begin() + i);
    if (i < getSlots().size())
        editSlots().erase(editSlots().begin() + i);
    subRefCP(chunk);
    return false;
}

Int32 ChunkMaterial::find(const StateChunkPtr& chunk) const
{
    for (UInt32 i = 0; i < getChunks().size(); ++i)
        if (getChunks()[i] == chunk)
            return Int32(i);
    return -1;
}

void ChunkMaterial::clearChunks()
{
    editState().clearChunks();
    MFStateChunkPtr::StorageType chunks;
    chunks.swap(editChunks().getValues());
    editSlots().clear();
    for (const StateChunkPtr& chunk : chunks)
        subRefCP(chunk);
}

void ChunkMaterial::rebuildState()
{
    // The chunk part of the State follows from the two lists alone (the State borrows the
    // chunks, so their own changes need nothing here): with the lists unedited since the last
    // build it is already in place. Colour commits, the common change, then cost no rebuild.
    if (!_listsEdited)
        return;
    _listsEdited = false;
    State& state = editState();
    state.clearChunks();
    for (UInt32 i = 0; i < getChunks().size(); ++i) {
        Int32 slot = i < getSlots().size() ? getSlots()[i] : Int32(State::AutoSlotReplace);
        state.addChunk(getChunks()[i], slot);
    }
}

bool ChunkMaterial::isTransparentByContent() const
{
    for (const StateChunkPtr& chunk : getChunks())
        if (chunk != NullFC && chunk->isTransparent())
            return true;
    return false;
}

OSG_END_NAMESPACE
