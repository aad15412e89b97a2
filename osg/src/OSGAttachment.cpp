#include <OpenSG/OSGAttachment.h>

OSG_BEGIN_NAMESPACE

FieldContainerType Attachment::_type("Attachment", "FieldContainer", nullptr);

OSG_END_NAMESPACE
