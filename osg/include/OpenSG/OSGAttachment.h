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

    static FieldContainerType& getClassType() { return _type; }
    static UInt32 getClassTypeId() { return _type.getId(); }
    FieldContainerType& getType() const override { return _type; }

protected:
    Attachment() = default;
    Attachment(const Attachment& source) = default;
    ~Attachment() override = default;

private:
    static FieldContainerType _type;
};

OSG_END_NAMESPACE
