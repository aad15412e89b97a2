#pragma once

#include <OpenSG/OSGAttachment.h>
#include <OpenSG/OSGStateChunkFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of StateChunk.
class StateChunkBase : public Attachment {
    typedef Attachment Inherited;

public:
    static constexpr UInt32 IgnoreFieldId = Inherited::NextFieldId;
    static constexpr BitVector IgnoreFieldMask = maskOf(IgnoreFieldId);
    static constexpr UInt32 NextFieldId = IgnoreFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // When true the chunk is skipped by rendering; default false.
    bool& getIgnore() { return _ignore; }
    const bool& getIgnore() const { return _ignore; }
    void setIgnore(const bool& value) { _ignore = value; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(StateChunkBase)

private:
    static FieldContainerType _type;

    bool _ignore = false;
};

OSG_END_NAMESPACE
