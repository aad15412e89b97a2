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

    static FieldContainerType& getClassType() { return _type; }
    static UInt32 getClassTypeId() { return _type.getId(); }
    FieldContainerType& getType() const override { return _type; }

    // When true the chunk is skipped by rendering; default false.
    bool& getIgnore() { return _ignore; }
    const bool& getIgnore() const { return _ignore; }
    void setIgnore(const bool& value) { _ignore = value; }

protected:
    StateChunkBase() = default;
    StateChunkBase(const StateChunkBase& source) = default;
    ~StateChunkBase() override = default;

private:
    static FieldContainerType _type;

    bool _ignore = false;
};

OSG_END_NAMESPACE
