#include <OpenSG/OSGMaterialBase.h>

OSG_BEGIN_NAMESPACE

FieldContainerType MaterialBase::_type("Material", "AttachmentContainer", nullptr);

OSG_END_NAMESPACE
