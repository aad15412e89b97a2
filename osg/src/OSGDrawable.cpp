#include <OpenSG/OSGDrawable.h>

OSG_BEGIN_NAMESPACE

FieldContainerType Drawable::_type("Drawable", "NodeCore", nullptr);

OSG_END_NAMESPACE
