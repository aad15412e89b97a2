#include <OpenSG/OSGState.h>

#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGStateChunk.h>

#include <algorithm>

OSG_BEGIN_NAMESPACE

bool State::addChunk(const StateChunkPtr& chunk, Int32 slot)
{
    if (chunk == NullFC)
        return false;
    const StateChunkClass* chunkClass = chunk->getClass();
    const UInt32 classId = chunkClass->getId();
    const UInt32 numSlots = chunkClass->getNumSlots();
    if (_slots.size() <= classId)
        _slots.resize(classId + 1);
    SlotList& slots = _slots[classId];
    if (slots.size() < numSlots)
        slots.resize(numSlots);

    if (slot >= 0)
    {
        if (UInt32(slot) >= numSlots)
        {
            SWARNING << "State::addChunk: slot " << slot << " out of range for " << chunkClass->getName()
                     << " (" << numSlots << " slots)" << std::endl;
            return false;
        }
        slots[UInt32(slot)] = chunk;
        return true;
    }
    for (StateChunkPtr& s : slots)
        if (s == NullFC)
        {
            s = chunk;
            return true;
        }
    if (slot == AutoSlotReplace && numSlots > 0)
    {
        slots[numSlots - 1] = chunk;
        return true;
    }
    SWARNING << "State::addChunk: no free slot for " << chunkClass->getName() << std::endl;
    return false;
}

bool State::subChunk(const StateChunkPtr& chunk)
{
    bool found = false;
    for (SlotList& slots : _slots)
        for (StateChunkPtr& s : slots)
            if (s == chunk && chunk != NullFC)
            {
                s = NullFC;
                found = true;
            }
    return found;
}

void State::clearChunks()
{
    // The lists stay allocated: a material rebuilds its state on every commit and refills
    // the same slots.
    for (SlotList& slots : _slots)
        std::fill(slots.begin(), slots.end(), StateChunkPtr());
}

StateChunkPtr State::getChunk(UInt32 classId, UInt32 slot) const
{
    if (classId >= _slots.size() || slot >= _slots[classId].size())
        return NullFC;
    return _slots[classId][slot];
}

UInt32 State::getNumChunks() const
{
    UInt32 count = 0;
    for (const SlotList& slots : _slots)
        for (const StateChunkPtr& s : slots)
            if (s != NullFC)
                ++count;
    return count;
}

void State::setMaterialValues(const MaterialValues& values)
{
    _materialValues = values;
    _hasMaterialValues = true;
}

void State::clearMaterialValues()
{
    _materialValues = MaterialValues();
    _hasMaterialValues = false;
}

OSG_END_NAMESPACE
