#pragma once

#include <OpenSG/OSGDrawable.h>
#include <OpenSG/OSGMaterialDrawableFields.h>
#include <OpenSG/OSGMaterialFields.h>

OSG_BEGIN_NAMESPACE

// Generated part of MaterialDrawable: the material field. This setter stores without
// counting; MaterialDrawable::setMaterial counts.
class MaterialDrawableBase : public Drawable {
    typedef Drawable Inherited;

public:
    static constexpr UInt32 MaterialFieldId = Inherited::NextFieldId;
    static constexpr BitVector MaterialFieldMask = maskOf(MaterialFieldId);
    static constexpr UInt32 NextFieldId = MaterialFieldId + 1;

    OSG_CONTAINER_TYPE_ACCESS

    // Default NullFC.
    MaterialPtr& getMaterial() { return _material; }
    const MaterialPtr& getMaterial() const { return _material; }
    void setMaterial(const MaterialPtr& value) { _material = value; }

protected:
    MaterialDrawableBase() = default;
    // Does not copy the material, which a copy would not reference.
    MaterialDrawableBase(const MaterialDrawableBase& source);
    ~MaterialDrawableBase() override = default;

private:
    static FieldContainerType _type;

    MaterialPtr _material;
};

OSG_END_NAMESPACE
