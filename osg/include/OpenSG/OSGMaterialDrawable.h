#pragma once

#include <OpenSG/OSGMaterialDrawableBase.h>

OSG_BEGIN_NAMESPACE

// Abstract drawable with a material. The material is reference counted.
class MaterialDrawable : public MaterialDrawableBase {
public:
    // +1 on the new material, -1 on the old one.
    void setMaterial(const MaterialPtr& material);

protected:
    MaterialDrawable() = default;
    MaterialDrawable(const MaterialDrawable& source) = default;
    // Releases the material.
    ~MaterialDrawable() override;
};

OSG_END_NAMESPACE
