#pragma once

#include <OpenSG/OSGStateChunkBase.h>
#include <OpenSG/OSGStateChunkClass.h>

OSG_BEGIN_NAMESPACE

// Abstract piece of render state (polygon modes, a texture, ...).
class StateChunk : public StateChunkBase {
public:
    virtual const StateChunkClass* getClass() const = 0;
    UInt32 getClassId() const { return getClass()->getId(); }
    virtual bool isTransparent() const { return false; }

protected:
    StateChunk() = default;
    StateChunk(const StateChunk& source) = default;
    ~StateChunk() override = default;
};

OSG_END_NAMESPACE
