#include <OpenSG/OSGMaterialDrawableBase.h>

OSG_BEGIN_NAMESPACE

FieldContainerType MaterialDrawableBase::_type("MaterialDrawable", "Drawable", nullptr);

MaterialDrawableBase::MaterialDrawableBase(const MaterialDrawableBase& source) : Drawable(source) {}

OSG_END_NAMESPACE
