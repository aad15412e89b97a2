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
    OSG_CONTAINER_DEFAULT_LIFETIME(StateChunk)
};

OSG_END_NAMESPACE
