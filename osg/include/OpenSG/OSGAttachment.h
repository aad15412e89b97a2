#pragma once

#include <OpenSG/OSGAttachmentFields.h>
#include <OpenSG/OSGFieldContainer.h>

OSG_BEGIN_NAMESPACE

// Base of the state chunks. Its parents field is not modelled; its ids are.
class Attachment : public FieldContainer {
    typedef FieldContainer Inherited;

public:
    static constexpr UInt32 ParentsFieldId = Inherited::NextFieldId;
    static constexpr BitVector ParentsFieldMask = maskOf(ParentsFieldId);
    static constexpr UInt32 InternalFieldId = ParentsFieldId + 1;
    static constexpr BitVector InternalFieldMask = maskOf(InternalFieldId);
    static constexpr UInt32 NextFieldId = InternalFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(Attachment)

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
