#include <OpenSG/OSGState.h>

#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGStateChunk.h>

#include <algorithm>

OSG_BEGIN_NAMESPACE

State::Filled* State::find(UInt32 classId, UInt32 slot)
{
    for (Filled& f : _filled)
        if (f.classId == classId && f.slot == slot)
            return &f;
    return nullptr;
}

void State::fill(UInt32 classId, UInt32 slot, const StateChunkPtr& chunk)
{
    if (Filled* f = find(classId, slot))
        f->chunk = chunk;
    else
        _filled.push_back(Filled{classId, slot, chunk});
}

bool State::addChunk(const StateChunkPtr& chunk, Int32 slot)
{
    if (chunk == NullFC)
        return false;
    const StateChunkClass* chunkClass = chunk->getClass();
    const UInt32 classId = chunkClass->getId();
    const UInt32 numSlots = chunkClass->getNumSlots();

    if (slot >= 0) {
        if (UInt32(slot) >= numSlots) {
            SWARNING << "State::addChunk: slot " << slot << " out of range for "
                     << chunkClass->getName() << " (" << numSlots << " slots)" << std::endl;
            return false;
        }
        fill(classId, UInt32(slot), chunk);
        return true;
    }
    for (UInt32 s = 0; s < numSlots; ++s)
        if (find(classId, s) == nullptr) {
            _filled.push_back(Filled{classId, s, chunk});
            return true;
        }
    if (slot == AutoSlotReplace && numSlots > 0) {
        fill(classId, numSlots - 1, chunk);
        return true;
    }
    SWARNING << "State::addChunk: no free slot for " << chunkClass->getName() << std::endl;
    return false;
}

bool State::subChunk(const StateChunkPtr& chunk)
{
    if (chunk == NullFC)
        return false;
    const auto kept = std::remove_if(_filled.begin(), _filled.end(),
                                     [&](const Filled& f) { return f.chunk == chunk; });
    const bool found = kept != _filled.end();
    _filled.erase(kept, _filled.end());
    return found;
}

void State::clearChunks()
{
    // The list keeps its storage: a material refills the same slots.
    _filled.clear();
}

StateChunkPtr State::getChunk(UInt32 classId, UInt32 slot) const
{
    for (const Filled& f : _filled)
        if (f.classId == classId && f.slot == slot)
            return f.chunk;
    return NullFC;
}

UInt32 State::getNumChunks() const { return UInt32(_filled.size()); }

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
