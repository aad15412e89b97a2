#pragma once

#include <OpenSG/OSGAttachmentContainerFields.h>
#include <OpenSG/OSGFieldContainer.h>

OSG_BEGIN_NAMESPACE

// A container that can carry attachments. Attachments themselves are not modelled here;
// the class keeps its place in the class chain and its field id.
class AttachmentContainer : public FieldContainer {
    typedef FieldContainer Inherited;

public:
    static constexpr UInt32 AttachmentsFieldId = Inherited::NextFieldId;
    static constexpr BitVector AttachmentsFieldMask = maskOf(AttachmentsFieldId);
    static constexpr UInt32 NextFieldId = AttachmentsFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(AttachmentContainer)

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
