#pragma once

#include <OpenSG/OSGAttachmentContainer.h>
#include <OpenSG/OSGMaterialFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of Material.
class MaterialBase : public AttachmentContainer {
    typedef AttachmentContainer Inherited;

public:
    static constexpr UInt32 SortKeyFieldId = Inherited::NextFieldId;
    static constexpr BitVector SortKeyFieldMask = maskOf(SortKeyFieldId);
    static constexpr UInt32 TransparencyModeFieldId = SortKeyFieldId + 1;
    static constexpr BitVector TransparencyModeFieldMask = maskOf(TransparencyModeFieldId);
    static constexpr UInt32 NextFieldId = TransparencyModeFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // Draw order among materials; default 0.
    Int32& getSortKey() { return _sortKey; }
    const Int32& getSortKey() const { return _sortKey; }
    void setSortKey(const Int32& value) { _sortKey = value; }
    // One of Material::Transparency*; default TransparencyAutoDetection (0).
    Int32& getTransparencyMode() { return _transparencyMode; }
    const Int32& getTransparencyMode() const { return _transparencyMode; }
    void setTransparencyMode(const Int32& value) { _transparencyMode = value; }

protected:
    OSG_CONTAINER_DEFAULT_LIFETIME(MaterialBase)

private:
    static FieldContainerType _type;

    Int32 _sortKey = 0;
    Int32 _transparencyMode = 0;
};

OSG_END_NAMESPACE
