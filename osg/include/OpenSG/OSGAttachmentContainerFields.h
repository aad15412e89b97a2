#ifndef OSG_ATTACHMENTCONTAINERFIELDS_H
#define OSG_ATTACHMENTCONTAINERFIELDS_H

#include <OpenSG/OSGFieldContainerPtr.h>

OSG_BEGIN_NAMESPACE

class AttachmentContainer;
typedef FCPtr<FieldContainerPtr, AttachmentContainer> AttachmentContainerPtr;

OSG_END_NAMESPACE

#endif
