#include <OpenSG/OSGAttachmentContainer.h>

OSG_BEGIN_NAMESPACE

FieldContainerType AttachmentContainer::_type("AttachmentContainer", "FieldContainer", nullptr);

OSG_END_NAMESPACE
